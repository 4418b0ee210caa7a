#include "port_device.h"

#include "port_numbering.h"
#include "serial_devices.h"

namespace bdlogic {

QString PortDevice(const Registry& registry, std::int16_t n) {
    if (n < 1) return {};
    return PortNumbers(registry, SystemSerialDevices()).target(n).device;
}

std::vector<PortTarget> PortTargets(Registry& registry, std::int16_t highest) {
    const PortNumbers numbers = PortNumbers::Claim(registry, SystemSerialDevices());
    std::vector<PortTarget> targets;
    for (std::int16_t n = 1; n > 0 && n <= highest; ++n) targets.push_back(numbers.target(n));
    return targets;
}

} // namespace bdlogic
