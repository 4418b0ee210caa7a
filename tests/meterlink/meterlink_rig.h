// The world the meter link runs in: the fake services on a simulated clock or the real event pump, a pack
// with the texts the link shows, a "BD Logic" on port 3; on the simulated clock, a scripted port and the
// message layer.
#pragma once

#include "meterlink/message_layer.h"
#include "startup/language.h"
#include "support/scripted_port.h"
#include "support/services_fixture.h"

namespace bdlogic::test {

template <class Pump> struct LinkWorld : World<Pump> {
    LinkWorld() {
        this->services.language = LanguagePack::fromText(
            QStringLiteral("1207=Please wait\n1216=%1: attempt %2\n1217=%1 entries\n1234=out of range\n"
                           "4311=Glucose memory\n4313=Marker memory\n4317=Markers next\n"));
        this->state.iComm = 3;
        this->state.iUniqueImportID = 64;
        this->state.sDriverName = this->state.sRegkey = QStringLiteral("BD Logic");
        this->state.sRegPath = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\");
    }
};

struct LinkRig : LinkWorld<FakeEventPump> {
    ScriptedPort port{pump};
    MessageLayer layer{port, services};
};

} // namespace bdlogic::test
