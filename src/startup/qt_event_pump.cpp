#include "qt_event_pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <chrono>
#include <thread>

namespace bdlogic {

std::uint32_t QtEventPump::tickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    // The counter wraps at 2^32 like the system's millisecond counter; callers subtract modulo 2^32.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms.count()) & 0xFFFFFFFFu);
}

void QtEventPump::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void QtEventPump::waitForEvents(std::uint32_t ms) {
    if (!QCoreApplication::instance()) {
        // No event loop to run (a tool without an application object): plain sleep.
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    const QDeadlineTimer deadline(std::chrono::milliseconds(ms), Qt::PreciseTimer);
    // The timer only wakes the loop at the deadline; events arriving before it are run as they come, and a
    // handler that asks the program to stop ends the wait after its event.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!stopRequested()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) break;
        if (!wake.isActive()) wake.start(std::chrono::milliseconds(left));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace bdlogic
