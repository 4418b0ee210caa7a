// The simulator's run: reads commands from the line, answers them on time, and ends on a signal, when its
// parent goes away, or when it was told to drop the line.
#pragma once

#include "output_schedule.h"
#include "serial_line.h"
#include "transcript.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <functional>
#include <optional>

namespace bdlogic::sim {

struct RunSetup {
    // The answer to a command; empty for none. Unused when forwarding.
    std::function<QByteArray(std::uint8_t)> responder;
    OutputShape shape;
    std::chrono::nanoseconds commandTime{0}; // time a two-byte command needs on the line before the meter has it
    std::optional<std::uint8_t> dropCode;
    std::optional<qsizetype> dropBytes;
    int meterFd = -1; // forwarding: the real meter's line
    bool parentWatch = false;
    QFile* log = nullptr;
    TranscriptWriter* transcript = nullptr;
};

// Exit status: 0 ended on request, 1 the line failed, 3 the line was dropped on purpose.
int RunSimulator(const SerialLine& line, RunSetup setup);

} // namespace bdlogic::sim
