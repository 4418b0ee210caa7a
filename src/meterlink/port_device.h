// Which serial device a port number stands for.
#pragma once

#include "startup/registry.h"

#include <QString>

#include <cstdint>

namespace bdlogic {

// Where the system lists its serial devices: value name = device, data = "COMn".
inline const QString kSerialDeviceMapKey = QStringLiteral("HARDWARE\\DEVICEMAP\\SERIALCOMM");

// The device name for port n as Qt SerialPort takes it. On Windows "COMn" ("\\.\COMn" above 9). Elsewhere the
// device that the serial device map lists as "COMn", else /dev/ttyS<n-1>. Empty for a number below 1.
QString PortDevice(const Registry& registry, std::int16_t n);

} // namespace bdlogic
