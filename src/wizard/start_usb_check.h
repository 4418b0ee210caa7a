// Starts the USB cable check program of the installation, when it is there.
#pragma once

#include <QString>

namespace bdlogic {

// Starts <programDir>/usbcheck with `parameters` split as a shell would split them, without a shell and
// without waiting. False when the program is missing or could not be started; nobody is told.
bool StartUsbCheck(const QString& programDir, const QString& parameters);

} // namespace bdlogic
