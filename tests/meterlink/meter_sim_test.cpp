// The simulator's faults, which the link tests rely on: a simulator that ignored them would make those tests
// pass without testing anything.
#include "meter_sim/answer_framing.h"
#include "meter_sim/output_schedule.h"
#include "meter_sim/simulated_meter.h"
#include "meterlink/message_layer.h"

#include <gtest/gtest.h>

namespace bdlogic::sim {
namespace {

TEST(SimulatedMeter, AppliesItsFaults) {
    MeterMemory memory;
    memory.glucose[4] = {"Glu,120,mg/dl,0,20240131,0745"};
    memory.info = {"BD,Logic"};
    Faults faults, noisy, silent, freezing;
    faults.ignoreWakes = 2;
    faults.badCrc[0x84] = 2;
    faults.trailing = "X";
    noisy.noise = true;
    silent.silent = true;
    freezing.muteFrom = 0x84;
    SimulatedMeter meter(memory, faults);
    for (const char* wake : {"", "", "]\r\n"}) EXPECT_EQ(meter.reply(0xA0), wake);
    for (const bool good : {false, false, true}) {
        QByteArray answer = meter.reply(0x84);
        ASSERT_TRUE(answer.endsWith("]\r\nX"));
        answer.chop(1);
        EXPECT_EQ(check_crc(answer), good);
    }
    EXPECT_EQ(meter.reply(0xA2), FrameAnswer({"BD,Logic"})); // no trailing bytes on the information
    EXPECT_TRUE(meter.reply(0x89).isEmpty());
    EXPECT_FALSE(SimulatedMeter(memory, noisy).reply(0xA0).contains(']'));
    EXPECT_TRUE(SimulatedMeter(memory, silent).reply(0xA0).isEmpty());
    SimulatedMeter frozen(memory, freezing);
    EXPECT_FALSE(frozen.reply(0x83).isEmpty());
    for (const std::uint8_t code : {0x84, 0x83, 0xA0, 0xA2}) EXPECT_TRUE(frozen.reply(code).isEmpty());
}

TEST(OutputSchedule, SendsTheLateBytesInAWriteOfTheirOwnAfterTheAnswer) {
    using namespace std::chrono_literals;
    OutputSchedule schedule({0ns, 4, 5ms, "\r\n", 60ms});
    const Clock::time_point t0{};
    schedule.add("answer", t0); // "answ" at 0, "er" at 5 ms
    schedule.add("next", t0 + 1ms);
    bool drop = false;
    EXPECT_EQ(schedule.takeDue(t0 + 64ms, &drop), "answer");
    EXPECT_EQ(schedule.takeDue(t0 + 65ms, &drop), "\r\n");
    EXPECT_EQ(schedule.takeDue(t0 + 200ms, &drop), "next\r\n");
}

} // namespace
} // namespace bdlogic::sim
