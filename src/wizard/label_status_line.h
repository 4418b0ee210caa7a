// The status line of the windowed program: lblStepGuide of the wizard window, repainted at once. It goes
// through the wizard's screen, so that the next rendering keeps the line instead of restoring an older text.
#pragma once

#include "startup/user_notice.h"

#include <QPointer>

namespace bdlogic {

class ZivUVIvodu;

class LabelStatusLine final : public StatusLine {
public:
    // The status line exists before the window does: lines shown before attach, or after the window is gone,
    // are dropped.
    void attach(ZivUVIvodu* window);
    void showStep(const QString& text) override;

private:
    QPointer<ZivUVIvodu> window_;
};

} // namespace bdlogic
