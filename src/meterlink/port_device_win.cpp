#include "port_device.h"

namespace bdlogic {

QString PortDevice(const Registry&, std::int16_t n) {
    if (n < 1) return {};
    // Names above COM9 are only reachable through the device namespace.
    return n > 9 ? QStringLiteral("\\\\.\\COM%1").arg(n) : QStringLiteral("COM%1").arg(n);
}

// The system numbers its ports itself; the list names them.
std::vector<PortTarget> PortTargets(Registry& registry, std::int16_t highest) {
    std::vector<PortTarget> targets;
    for (std::int16_t n = 1; n > 0 && n <= highest; ++n) targets.push_back({PortDevice(registry, n), {}, false});
    return targets;
}

} // namespace bdlogic
