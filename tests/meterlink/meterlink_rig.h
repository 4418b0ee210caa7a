// The world the meter link runs in, all fake: the fake services, a scripted port on their simulated clock, and a
// language pack with the texts the link shows.
#pragma once

#include "meterlink/message_layer.h"
#include "startup/language.h"
#include "support/scripted_port.h"
#include "support/services_fixture.h"

namespace bdlogic::test {

inline constexpr char kLinkTexts[] = "1207=Please wait\n"
                                     "1216=%1: attempt %2\n"
                                     "1217=%1 entries\n"
                                     "4311=Glucose memory\n"
                                     "4313=Marker memory\n"
                                     "4317=Markers next\n";

struct LinkRig : FakeWorld {
    explicit LinkRig(const char* texts = kLinkTexts) {
        services.language = LanguagePack::fromText(QString::fromUtf8(texts));
        state.iComm = 3;
        state.iUniqueImportID = 64;
        state.sDriverName = QStringLiteral("BD Logic");
    }
    ScriptedPort port{pump};
    MessageLayer layer{port, services};
};

} // namespace bdlogic::test
