#include "startup/event_pump.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::FakeEventPump;

TEST(Pause, WaitsTheTimeWhilePumpingEvents) {
    FakeEventPump pump(1000);
    int ran = 0;
    pump.at(1030, [&] { ++ran; });
    Pause(pump, 50);
    EXPECT_GE(pump.now(), 1050u);
    EXPECT_LT(pump.now(), 1060u);
    EXPECT_EQ(ran, 1);
}

TEST(Pause, SurvivesTheWrapOfTheCounter) {
    FakeEventPump pump(0xFFFFFFF0u);
    Pause(pump, 100);
    EXPECT_EQ(pump.now() - 0xFFFFFFF0u, 100u); // would end at once if compared without the modulo
}

TEST(Pause, MeasuresFromThePassedStartAndReportsTheEnd) {
    FakeEventPump pump(500);
    std::uint32_t start = 400;
    Pause(pump, 150, &start); // 100 ms are already gone
    EXPECT_EQ(pump.now(), 550u);
    EXPECT_EQ(start, 550u);
}

TEST(Pause, IgnoresNonsenseDurationsButStillRunsEvents) {
    FakeEventPump pump(0);
    Pause(pump, -5);
    Pause(pump, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(pump.now(), 0u);
    EXPECT_GE(pump.turns(), 2);
}

} // namespace
} // namespace bdlogic
