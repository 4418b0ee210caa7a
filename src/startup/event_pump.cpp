#include "event_pump.h"

#include <cmath>

namespace bdlogic {

void Pause(EventPump& pump, float ms, std::uint32_t* start) {
    const std::uint32_t from = start ? *start : pump.tickCount();
    // A negative, NaN or absurd request waits nothing rather than overflowing the conversion.
    const double wanted = std::isfinite(ms) && ms > 0 ? std::ceil(static_cast<double>(ms)) : 0.0;
    const std::uint32_t span = wanted >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(wanted);
    std::uint32_t now = pump.tickCount();
    for (;;) {
        now = pump.tickCount();
        pump.processEvents();
        const std::uint32_t gone = Elapsed(from, now);
        if (gone >= span || pump.stopRequested()) break;
        pump.waitForEvents(span - gone);
    }
    if (start) *start = now;
}

} // namespace bdlogic
