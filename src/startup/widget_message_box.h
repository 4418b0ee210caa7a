// Message boxes of the windowed program: an OK button, no icon or the information or critical icon.
#pragma once

#include "main_state.h"
#include "user_notice.h"

#include <QMessageBox>

#include <memory>

namespace bdlogic {

// The box for one message. An empty title gives the application title, or the program's name before there is
// one.
std::unique_ptr<QMessageBox> BuildMessageBox(const QString& text, const QString& title, MessageIcon icon,
                                             const QString& appTitle);

class WidgetMessageBox final : public MessageBox {
public:
    explicit WidgetMessageBox(const MainState& state) : state_(state) {}
    // Modal over the active window, and above topmost windows, until the user closes it.
    void show(const QString& text, const QString& title, MessageIcon icon) override;

private:
    const MainState& state_;
};

} // namespace bdlogic
