#include "importfile/type_defs.h"
#include "meterlink/meter_commands.h"
#include "meterlink/meter_identification.h"
#include "meterlink_rig.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::LinkRig;

QStringList Attempts(std::initializer_list<int> numbers) {
    QStringList steps;
    // Each attempt shows its number twice: before the wake-up and after the reply.
    for (const int n : numbers) steps << QStringList(2, QStringLiteral("BD Logic: attempt %1").arg(n));
    return steps;
}

TEST(MeterConnected, AnswerToTheFirstWakeUpKeepsThePortOpen) {
    LinkRig rig;
    rig.port.script(kWakeCommand, {{{150, "]\r\n"}}});
    const std::uint32_t start = rig.pump.now();
    EXPECT_EQ(meter_connected(rig.port, rig.services), kTrue);
    EXPECT_TRUE(rig.port.portOpen());
    // The cable wants this order: lines set while closed, settings after opening, then a low pulse on RTS.
    EXPECT_EQ(rig.port.log, (QStringList{"input", "close", "commport 3", "clearOutput", "handshaking 0", "rts 1",
                                         "dtr 1", "input", "open", "settings 9600,O,8,1", "rts 0", "rts 1", "input",
                                         "dtr 1", "write 00 A0", "input"}));
    EXPECT_EQ(rig.status.steps, Attempts({1}));
    ASSERT_EQ(rig.port.commandTimes.size(), 1u);
    EXPECT_EQ(rig.port.commandTimes[0] - start, 100u);
}

TEST(MeterConnected, AnswerToTheThirdWakeUp) {
    LinkRig rig;
    rig.port.script(kWakeCommand, {{}, {}, {{300, "BD]\r\n"}}});
    const std::uint32_t start = rig.pump.now();
    EXPECT_EQ(meter_connected(rig.port, rig.services), kTrue);
    EXPECT_EQ(rig.status.steps, Attempts({1, 2, 3}));
    // 100 ms before each wake-up, 500 ms after it.
    std::vector<std::uint32_t> offsets;
    for (const std::uint32_t t : rig.port.commandTimes) offsets.push_back(t - start);
    EXPECT_EQ(offsets, (std::vector<std::uint32_t>{100, 700, 1300}));
    EXPECT_TRUE(rig.port.portOpen());
}

TEST(MeterConnected, NoiseEndsAfterOneAttemptWithThePortClosed) {
    LinkRig rig;
    rig.port.script(kWakeCommand, {{{100, QByteArray::fromHex("fe13e07f00")}}});
    EXPECT_EQ(meter_connected(rig.port, rig.services), kFalse);
    EXPECT_EQ(rig.port.sent(kWakeCommand), 1);
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.port.log.last(), QStringLiteral("close"));
}

TEST(MeterConnected, SilenceOrAPortThatCannotOpenGivesUpAfterFiveAttemptsWithoutAMessage) {
    for (const bool openFails : {false, true}) {
        LinkRig rig;
        rig.port.openFails = openFails;
        if (openFails) rig.port.script(kWakeCommand, {{{100, "]\r\n"}}});
        const std::uint32_t start = rig.pump.now();
        EXPECT_EQ(meter_connected(rig.port, rig.services), kFalse) << openFails;
        EXPECT_EQ(rig.status.steps, Attempts({1, 2, 3, 4, 5})) << openFails;
        if (!openFails) {
            EXPECT_GE(rig.pump.now() - start, 3000u);
        }
        EXPECT_FALSE(rig.port.portOpen());
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

TEST(MeterConnected, StopsWhenTheProgramEnds) {
    LinkRig rig;
    rig.pump.at(rig.pump.now() + 900, [&] { rig.pump.requestStop(); });
    EXPECT_EQ(meter_connected(rig.port, rig.services), kFalse);
    EXPECT_EQ(rig.port.sent(kWakeCommand), 2);
    EXPECT_FALSE(rig.port.portOpen());
}

TEST(MeterConnected, AppliesTheLineSettingsOfTheModel) {
    for (const auto& [code, settings] : {std::pair{64, "settings 9600,O,8,1"}, {84, "settings 57600,N,8,1"}}) {
        LinkRig rig;
        rig.state.iUniqueImportID = static_cast<std::int16_t>(code);
        rig.port.script(kWakeCommand, {{{100, "]\r\n"}}});
        meter_connected(rig.port, rig.services);
        EXPECT_TRUE(rig.port.log.contains(QString::fromLatin1(settings))) << "model " << code;
    }
}

} // namespace
} // namespace bdlogic
