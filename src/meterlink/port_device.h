// Which serial device a port number stands for.
#pragma once

#include "startup/registry/registry.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace bdlogic {

// Where the system lists its serial devices: value name = device, data = "COMn".
inline const QString kSerialDeviceMapKey = QStringLiteral("HARDWARE\\DEVICEMAP\\SERIALCOMM");

// What a port number stands for.
struct PortTarget {
    QString device;      // the device name as Qt SerialPort takes it; empty for a number below 1
    QString description; // what the system says the device is (maker and product); empty when it says nothing
    bool absent = false; // known that no device stands behind the number
};

// The device name for port n. On Windows "COMn" ("\\.\COMn" above 9). Elsewhere the device that the serial device
// map lists as "COMn", else the serial device that holds number n (port_numbering.h), else /dev/ttyS<n-1>. Empty
// for a number below 1.
QString PortDevice(const Registry& registry, std::int16_t n);

// What stands behind ports 1..highest, looked at once for the port list. Elsewhere than on Windows, serial devices
// seen for the first time get their numbers here.
std::vector<PortTarget> PortTargets(Registry& registry, std::int16_t highest);

} // namespace bdlogic
