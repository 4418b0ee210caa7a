#include "dialog_keys.h"

#include <QPushButton>
#include <QShortcut>

namespace bdlogic {

void CancelOnEscape(QAbstractButton* cancel) {
    // A shortcut owned by the button is active only while the button is visible and enabled.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), cancel);
    QObject::connect(escape, &QShortcut::activated, cancel, &QAbstractButton::click);
}

bool PressDefaultButton(QWidget& window) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->isDefault() && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace bdlogic
