// The event pump of the running program: waits sleep inside Qt's event loop, so windows, timers and the serial
// port's notifiers keep running while no core is kept busy.
#pragma once

#include "event_pump.h"

namespace bdlogic {

class QtEventPump final : public EventPump {
public:
    // Milliseconds of the system's monotonic clock, truncated to 32 bits.
    std::uint32_t tickCount() override;
    void processEvents() override;
    // Returns when `ms` have passed or the program was asked to stop, whichever is first.
    void waitForEvents(std::uint32_t ms) override;
};

} // namespace bdlogic
