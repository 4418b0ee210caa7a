#include "widget_busy_cursor.h"

#include <QApplication>

namespace bdlogic {

void WidgetBusyCursor::set(bool busy) {
    if (busy == shown_) return;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    shown_ = busy;
}

} // namespace bdlogic
