// The meter's side of the conversation: which reply each command gets, with the faults a test asked for.
#pragma once

#include "memory_file.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <optional>

namespace bdlogic::sim {

struct Faults {
    bool silent = false;           // never answer anything
    bool noise = false;            // answer the wake-up with bytes that hold no "]"
    int ignoreWakes = 0;           // the first N wake-ups find the meter asleep
    std::map<int, int> badCrc;     // command code -> how many of its answers carry a wrong check value
    QByteArray trailing;           // bytes sent after the end mark of every block answer
    std::optional<std::uint8_t> muteFrom; // from the first command with this code on, never answer again
};

// Replies to commands from a memory file. Commands the meter does not know get no reply.
class SimulatedMeter {
public:
    SimulatedMeter(MeterMemory memory, Faults faults) : memory_(std::move(memory)), faults_(std::move(faults)) {}

    // The bytes the meter sends for a command code; empty for none.
    QByteArray reply(std::uint8_t code);

private:
    MeterMemory memory_;
    Faults faults_;
    int wakes_ = 0;
    bool muted_ = false;
};

// What a command code asks for, for logs: "wake-up", "glucose block 3", "information", "unknown".
QByteArray DescribeCommand(std::uint8_t code);

} // namespace bdlogic::sim
