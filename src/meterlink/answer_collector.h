// Collecting one answer from the port after a command, with the bounds that keep a dead or babbling line from
// hanging the download.
#pragma once

#include "meter_port.h"
#include "startup/event_pump.h"

#include <QByteArray>

#include <functional>

namespace bdlogic {

enum class Collection {
    Complete, // the end mark arrived
    TooLong,  // the answer would grow past kAnswerLimit without an end mark: line noise, worth another attempt
    Silent,   // nothing new for kSilenceLimitMs: the meter is gone
    PortLost, // the port is closed, or was closed under us because its device went away
    Stopped,  // the program is ending
};

// Reads the port kPollMs after the command and then every kPollMs, appending each chunk to `answer` one poll
// after it was read, until the end mark is in the answer. The chunk read in the last pass is dropped with
// whatever else arrives in those 50 ms (the caller then empties the receive buffer), so the meter's next answer
// starts clean. `onPoll` runs at the end of every pass with the answer so far (the progress display). `answer`
// never grows past kAnswerLimit.
Collection CollectAnswer(MeterPort& port, EventPump& pump, QByteArray& answer,
                         const std::function<void(const QByteArray&)>& onPoll = {});

} // namespace bdlogic
