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
    Failed,   // silence, an overlong answer, or a port that is closed or whose device has gone
    Stopped,  // the program is ending
};

// Polls the port every kPollMs and appends what arrives to `answer` until the end mark is in it. `onPoll` runs
// after every read with the answer so far (the progress display).
Collection CollectAnswer(MeterPort& port, EventPump& pump, QByteArray& answer,
                         const std::function<void(const QByteArray&)>& onPoll = {});

} // namespace bdlogic
