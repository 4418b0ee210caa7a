// LocaliseForm over Qt widgets: a control's Tag is its dynamic property "Tag", a command button is any
// QAbstractButton, the caption is a label's or button's text or a group box's title.
#pragma once

#include "language.h"

#include <QString>

class QWidget;

namespace bdlogic {

// The property that carries a control's Tag ("L" + text id).
inline constexpr char kTagProperty[] = "Tag";

void SetTag(QWidget* control, const QString& tag);

// Font and texts of `window` and of all its named controls, in creation order. Qt's own inner widgets (object
// names starting "qt_") and unnamed ones are not controls of the window.
void LocaliseForm(const Language* language, QWidget& window);

} // namespace bdlogic
