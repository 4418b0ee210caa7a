#include "port_device.h"

namespace bdlogic {

QString PortDevice(const Registry&, std::int16_t n) {
    if (n < 1) return {};
    // Names above COM9 are only reachable through the device namespace.
    return n > 9 ? QStringLiteral("\\\\.\\COM%1").arg(n) : QStringLiteral("COM%1").arg(n);
}

} // namespace bdlogic
