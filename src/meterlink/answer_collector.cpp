#include "answer_collector.h"

#include "meter_commands.h"

#include <algorithm>

namespace bdlogic {

Collection CollectAnswer(MeterPort& port, EventPump& pump, QByteArray& answer,
                         const std::function<void(const QByteArray&)>& onPoll) {
    if (pump.stopRequested()) return Collection::Stopped;
    if (!port.portOpen()) return Collection::Failed;
    const QByteArrayView endMark(kEndMark);
    // Reads fall on a fixed 50 ms grid from the command, so late wake-ups do not add up over a long answer.
    std::uint32_t grid = pump.tickCount();
    std::uint32_t lastNews = grid;
    qsizetype searchFrom = 0;
    const auto wait = [&] {
        std::uint32_t from = grid;
        Pause(pump, static_cast<float>(kPollMs), &from);
        // After a long event handler the grid starts again from now rather than reading in a burst to catch up.
        grid = Elapsed(grid, from) >= 2 * kPollMs ? from : grid + kPollMs;
        return from;
    };
    std::uint32_t tick = wait();
    for (;;) {
        if (pump.stopRequested()) return Collection::Stopped;
        const QByteArray chunk = port.input();
        if (!chunk.isEmpty()) {
            answer += chunk;
            lastNews = tick;
        }
        if (onPoll) onPoll(answer);
        // Whatever arrives after the chunk that completed the answer is left in the port for the caller's flush.
        if (answer.indexOf(endMark, searchFrom) >= 0) return Collection::Complete;
        searchFrom = std::max<qsizetype>(0, answer.size() - (endMark.size() - 1));
        if (!port.portOpen()) return Collection::Failed;
        if (answer.size() > kAnswerLimit) return Collection::Failed;
        if (Elapsed(lastNews, tick) >= kSilenceLimitMs) return Collection::Failed;
        tick = wait();
    }
}

} // namespace bdlogic
