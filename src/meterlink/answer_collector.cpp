#include "answer_collector.h"

#include "meter_commands.h"

#include <algorithm>

namespace bdlogic {

Collection CollectAnswer(MeterPort& port, EventPump& pump, QByteArray& answer,
                         const std::function<void(const QByteArray&)>& onPoll) {
    if (pump.stopRequested()) return Collection::Stopped;
    if (!port.portOpen()) return Collection::PortLost;
    const QByteArrayView endMark(kEndMark);
    // Reads fall on a fixed 50 ms grid from the command, so late wake-ups do not add up over a long answer.
    std::uint32_t grid = pump.tickCount();
    std::uint32_t lastNews = grid;
    const auto wait = [&] {
        std::uint32_t from = grid;
        Pause(pump, static_cast<float>(kPollMs), &from);
        // After a long event handler the grid starts again from now rather than reading in a burst to catch up.
        grid = Elapsed(grid, from) >= 2 * kPollMs ? from : grid + kPollMs;
        return from;
    };
    std::uint32_t tick = wait();
    if (pump.stopRequested()) return Collection::Stopped;
    QByteArray chunk = port.input();
    std::uint32_t chunkAt = tick;
    qsizetype searchFrom = std::max<qsizetype>(0, answer.size() - (endMark.size() - 1));
    bool complete = answer.indexOf(endMark) >= 0;
    while (!complete) {
        if (answer.size() + chunk.size() > kAnswerLimit) return Collection::TooLong;
        if (!chunk.isEmpty()) lastNews = chunkAt;
        answer += chunk;
        complete = answer.indexOf(endMark, searchFrom) >= 0;
        searchFrom = std::max<qsizetype>(0, answer.size() - (endMark.size() - 1));
        if (!complete) {
            if (!port.portOpen()) return Collection::PortLost;
            if (Elapsed(lastNews, tick) >= kSilenceLimitMs) return Collection::Silent;
        }
        // One more pass once the end mark is in: its read and wait let the line settle before the next command.
        chunk = port.input();
        chunkAt = tick;
        tick = wait();
        if (pump.stopRequested()) return Collection::Stopped;
        if (onPoll) onPoll(answer);
    }
    return Collection::Complete;
}

} // namespace bdlogic
