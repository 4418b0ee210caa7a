// The keys of a dialog for windows that are not QDialogs: Escape is Cancel, Enter the default button.
#pragma once

class QAbstractButton;
class QWidget;

namespace bdlogic {

// Escape clicks `cancel` while it is shown and enabled; a hidden Cancel leaves Escape to another one.
void CancelOnEscape(QAbstractButton* cancel);

// Enter that no control took: clicks the default button under `window` that is shown and enabled. False when
// there is none. (A focused button with autoDefault takes Enter itself.)
bool PressDefaultButton(QWidget& window);

} // namespace bdlogic
