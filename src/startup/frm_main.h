// The start-up window: small and topmost, its label `status` carries the program's title. It runs the marker
// set-up for the wizard (CallSetup); the start-up logic itself lives in Startup.
#pragma once

#include "services.h"
#include "setup_dialog.h"

#include <QWidget>

class QLabel;

namespace bdlogic {

class FrmMain : public QWidget {
public:
    // `makeSetup` loads the marker set-up dialog for CallSetup.
    FrmMain(Services& services, SetupDialogFactory makeSetup, QWidget* parent = nullptr);

    // The application title: into the label `status` and the window's caption.
    void showTitle(const QString& title);
    // Shows the marker set-up dialog inside `container` and returns when the user closed it, or when the
    // program is ending. The container is hidden again afterwards; the caller re-reads its settings.
    void CallSetup(QWidget* container);

    QLabel* status() const { return status_; }

private:
    void fit();

    Services& services_;
    SetupDialogFactory makeSetup_;
    QLabel* status_ = nullptr;
};

} // namespace bdlogic
