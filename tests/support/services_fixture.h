// A Services bundle over the fakes, for tests of the logic that reaches the world through it. The event pump is
// the simulated clock, or the real Qt pump for tests that talk to a real serial port.
#pragma once

#include "startup/services.h"
#include "support/fakes.h"

#include <memory>

namespace bdlogic::test {

// A language library whose text for every id is "T<id>" followed by its values, e.g. "T1204[BD Logic,3]".
std::unique_ptr<Language> EchoLanguage();

template <class Pump>
struct World {
    MemoryRegistry backend;
    Registry registry{backend};
    Pump pump;
    RecordingMessageBox messages;
    RecordingStatusLine status;
    MainState state;
    Services services{registry, pump, messages, status, state, QStringLiteral("/nonexistent/bdlogic-test"),
                      QStringLiteral("bdlogic"), nullptr};

    void useEchoLanguage() { services.language = EchoLanguage(); }
};

using FakeWorld = World<FakeEventPump>;

} // namespace bdlogic::test
