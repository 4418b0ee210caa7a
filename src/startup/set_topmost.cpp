#include "set_topmost.h"

#include <QWidget>

namespace bdlogic {

void SetTopmost(QWidget* window) {
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    const bool shown = window->isVisible();
    // Changing the flags of a shown window hides it: show it again where it was.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (shown) window->show();
}

} // namespace bdlogic
