// A label that screen readers take for the window's status bar: its text is its accessible name, so the name
// change QLabel raises with every new text carries the new status, and a screen reader's "read status bar"
// finds it without moving the focus.
#pragma once

class QLabel;

namespace bdlogic {

// Call before anything asks for the label's accessible interface; the label must keep no accessible name of
// its own (QLabel then stops raising the name change).
void ActAsStatusBar(QLabel* label);

} // namespace bdlogic
