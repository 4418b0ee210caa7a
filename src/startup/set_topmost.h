// Keeps a window above all others, as the host expects of its drivers.
#pragma once

class QWidget;

namespace bdlogic {

// Works before and after the window is shown: a shown window is shown again with the new flag.
void SetTopmost(QWidget* window);

} // namespace bdlogic
