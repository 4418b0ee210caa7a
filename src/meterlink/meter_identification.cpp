#include "meter_identification.h"

#include "importfile/type_defs.h"
#include "message_layer.h"
#include "meter_commands.h"
#include "meter_models.h"

namespace bdlogic {

namespace {

constexpr int kAttempts = 5;
constexpr int kAttemptTextId = 1216;
constexpr float kBeforeWakeMs = 100; // after DTR, before the wake-up command
constexpr float kAfterWakeMs = 500;  // for the meter to wake and answer

} // namespace

std::int16_t meter_connected(MeterPort& port, Services& services) {
    MessageLayer layer(port, services);
    EventPump& pump = services.pump;
    const MainState& state = services.state;

    // The order matters to the meter's cable: lines are set while closed so they come up with the port.
    (void)port.input();
    port.setPortOpen(false);
    port.setCommPort(state.iComm);
    port.clearOutput();
    port.setHandshaking(0);
    port.setRTSEnable(true);
    port.setDTREnable(true);
    (void)port.input();
    port.setPortOpen(true);
    port.setSettings(QString::fromLatin1(LineSettingsFor(state.iUniqueImportID)));
    // A short low pulse on RTS.
    port.setRTSEnable(false);
    port.setRTSEnable(true);

    const auto showAttempt = [&](int attempt) {
        if (const auto text = loadres(services.texts(), kAttemptTextId, {state.sDriverName, QString::number(attempt)}))
            layer.show_step(*text);
    };
    int attempts = 0;
    QByteArray received;
    while (received.isEmpty() && attempts < kAttempts && !pump.stopRequested()) {
        (void)port.input();
        showAttempt(attempts + 1);
        port.setDTREnable(true);
        Pause(pump, kBeforeWakeMs);
        port.output(MeterCommand(kWakeCommand));
        Pause(pump, kAfterWakeMs);
        // Each attempt judges only its own reply.
        received = port.input();
        showAttempt(attempts + 1);
        pump.processEvents();
        ++attempts;
    }
    // The reply is not framed: any "]" in it means a meter is there.
    if (received.contains(']') && !pump.stopRequested()) return kTrue;
    port.setPortOpen(false);
    return kFalse;
}

} // namespace bdlogic
