// The windowed program's application object. Qt aborts the process when its platform plugin cannot open a
// display; here that becomes one line on standard error and its own exit status.
#pragma once

#include <QApplication>

#include <memory>

namespace bdlogic {

// The exit status when no display could be opened.
constexpr int kExitNoDisplay = 6;

// Creates the application. When the platform plugin fails (no display, a display that does not answer, a
// broken plugin) it says so in one line on standard error, naming --batch, and ends the process with
// kExitNoDisplay. Qt's own messages from the attempt are held back and, on success, passed on afterwards.
std::unique_ptr<QApplication> OpenWidgetApplication(int& argc, char** argv);

} // namespace bdlogic
