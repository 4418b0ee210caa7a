// The world the meter link runs in, all fake: simulated clock, scripted port, recording status line, and a
// language pack with the texts the link shows.
#pragma once

#include "meterlink/message_layer.h"
#include "scripted_port.h"
#include "startup/language.h"
#include "startup/registry.h"
#include "startup/services.h"
#include "support/fakes.h"

namespace bdlogic::test {

inline constexpr char kLinkTexts[] = "1207=Please wait\n"
                                     "1216=%1: attempt %2\n"
                                     "1217=%1 entries\n"
                                     "4311=Glucose memory\n"
                                     "4313=Marker memory\n"
                                     "4317=Markers next\n";

struct LinkRig {
    explicit LinkRig(const char* texts = kLinkTexts) : services{registry, pump, messages, status, state, {}, {}, {}} {
        services.language = LanguagePack::fromText(QString::fromUtf8(texts));
        state.iComm = 3;
        state.iUniqueImportID = 64;
        state.sDriverName = QStringLiteral("BD Logic");
    }

    FakeEventPump pump{1000};
    MemoryRegistry backend;
    Registry registry{backend};
    RecordingMessageBox messages;
    RecordingStatusLine status;
    MainState state;
    Services services;
    ScriptedPort port{pump};
    MessageLayer layer{port, services};
};

} // namespace bdlogic::test
