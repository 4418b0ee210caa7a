// The program's one way to wait: a millisecond counter and an event pump, so that waits keep the windows alive
// and tests can run them on a simulated clock without sleeping.
#pragma once

#include <cstdint>

namespace bdlogic {

class EventPump {
public:
    virtual ~EventPump() = default;

    // Monotonic millisecond counter; it wraps at 2^32, so callers subtract modulo 2^32.
    virtual std::uint32_t tickCount() = 0;
    // Runs the events that are pending now and returns.
    virtual void processEvents() = 0;
    // Sleeps inside the event loop for at most `ms` milliseconds; events that arrive meanwhile are run.
    virtual void waitForEvents(std::uint32_t ms) = 0;

    // Set when the program is ending (Cancel): every wait returns at once so the caller can unwind in order.
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

private:
    bool stop_ = false;
};

// Elapsed milliseconds between two readings of the counter, correct across its wrap.
inline std::uint32_t Elapsed(std::uint32_t start, std::uint32_t now) { return now - start; }

// Waits `ms` milliseconds while running events. With `start` the wait is measured from *start and *start is set to
// the moment it ended, so consecutive waits measure from the end of the previous one. Returns early when the pump
// was asked to stop.
void Pause(EventPump& pump, float ms, std::uint32_t* start = nullptr);

} // namespace bdlogic
