// Starts the USB cable check program of the installation, when it is there.
#pragma once

#include <QString>

class QWidget;

namespace bdlogic {

// Starts usbcheck from `programDir`, in that directory, without waiting: on Windows usbcheck.exe through the
// shell's "open" verb with `parameters` as one text and `owner` as its owner window; elsewhere usbcheck with
// `parameters` split as a POSIX shell would split them, without a shell. False when the program is missing or
// could not be started; nobody is told.
bool StartUsbCheck(const QString& programDir, const QString& parameters, QWidget* owner = nullptr);

} // namespace bdlogic
