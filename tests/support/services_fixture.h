// A Services bundle over the fakes, for tests of the logic that reaches the world through it.
#pragma once

#include "startup/services.h"
#include "support/fakes.h"

namespace bdlogic::test {

struct FakeWorld {
    MemoryRegistry backend;
    Registry registry{backend};
    FakeEventPump pump;
    RecordingMessageBox messages;
    RecordingStatusLine status;
    MainState state;
    Services services{registry, pump, messages, status, state, QStringLiteral("/nonexistent/bdlogic-test"),
                      QStringLiteral("bdlogic"), nullptr};

    // A language library whose text for every id is "T<id>" followed by its values, e.g. "T1204[BD Logic,3]".
    void useEchoLanguage();
};

} // namespace bdlogic::test
