#include "importfile/type_defs.h"
#include "meterlink/meter_commands.h"
#include "meterlink/meter_identification.h"
#include "meterlink_rig.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::LinkRig;
using test::Reply;

TEST(MeterConnected, WakesTheMeterInUpToFiveAttempts) {
    const struct {
        const char* name;
        std::vector<Reply> wakes; // one per attempt, the last repeating
        bool openFails;
        std::int16_t model;
        std::int16_t result;
        int attempts;
    } rows[] = {
        {"answer to the first wake-up", {{{150, "]\r\n"}}}, false, 64, kTrue, 1},
        {"answer to the third", {{}, {}, {{300, "BD]\r\n"}}}, false, 84, kTrue, 3},
        {"noise ends after one attempt", {{{100, QByteArray::fromHex("fe13e07f00")}}}, false, 64, kFalse, 1},
        {"silence", {{}}, false, 64, kFalse, 5},
        {"a port that cannot be opened", {{{100, "]\r\n"}}}, true, 64, kFalse, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LinkRig rig;
        rig.state.iUniqueImportID = row.model;
        rig.port.openFails = row.openFails;
        rig.port.script(kWakeCommand, row.wakes);
        EXPECT_EQ(meter_connected(rig.port, rig.services), row.result);
        EXPECT_EQ(rig.port.portOpen(), row.result == kTrue);
        EXPECT_TRUE(rig.port.log.contains(row.model == 64 ? "settings 9600,O,8,1" : "settings 57600,N,8,1"));
        EXPECT_TRUE(rig.messages.shown.empty());
        // Each attempt shows its number before the wake-up and after the reply; it waits 100 ms before the
        // wake-up and 500 ms after it.
        QStringList shown;
        std::vector<std::uint32_t> sentAt;
        for (int n = 1; n <= row.attempts; ++n) {
            shown << QStringList(2, QStringLiteral("BD Logic: attempt %1").arg(n));
            if (!row.openFails) sentAt.push_back(600 * static_cast<std::uint32_t>(n) - 500);
        }
        EXPECT_EQ(rig.status.steps, shown);
        EXPECT_EQ(rig.port.commandTimes, sentAt);
        EXPECT_EQ(rig.pump.now(), 600u * static_cast<std::uint32_t>(row.attempts));
    }
}

TEST(MeterConnected, SetsTheLinesInTheOrderTheCableWants) {
    LinkRig rig;
    rig.port.script(kWakeCommand, {{{150, "]\r\n"}}});
    meter_connected(rig.port, rig.services);
    // Lines set while closed, settings after opening, then a low pulse on RTS.
    EXPECT_EQ(rig.port.log,
              (QStringList{"input", "close", "commport 3", "clearOutput", "handshaking 0", "rts 1", "dtr 1", "input",
                           "open", "settings 9600,O,8,1", "rts 0", "rts 1", "input", "dtr 1", "write 00 A0", "input"}));
}

TEST(MeterConnected, StopsWhenTheProgramEnds) {
    LinkRig rig;
    rig.pump.at(900, [&] { rig.pump.requestStop(); });
    EXPECT_EQ(meter_connected(rig.port, rig.services), kFalse);
    EXPECT_EQ(rig.port.sent(kWakeCommand), 2);
    EXPECT_FALSE(rig.port.portOpen());
}

} // namespace
} // namespace bdlogic
