#include "startup/event_pump.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <limits>

namespace bdlogic::test {
namespace {

TEST(Pause, WaitsTheTimeWhilePumpingEventsAlsoOverTheWrapOfTheCounter) {
    for (const std::uint32_t start : {1000u, 0xFFFFFFF0u}) {
        FakeEventPump pump(start);
        int ran = 0;
        pump.at(start + 30, [&] { ++ran; });
        Pause(pump, 50);
        EXPECT_EQ(pump.now() - start, 50u); // would end at once after the wrap if compared without the modulo
        EXPECT_EQ(ran, 1);
    }
}

TEST(Pause, MeasuresFromThePassedStartAndWaitsNothingForNonsenseButStillRunsEvents) {
    FakeEventPump pump(500);
    std::uint32_t start = 400;
    Pause(pump, 150, &start); // 100 ms are already gone
    EXPECT_EQ(pump.now(), 550u);
    EXPECT_EQ(start, 550u);
    const int turns = pump.turns();
    Pause(pump, -5);
    Pause(pump, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(pump.now(), 550u);
    EXPECT_GE(pump.turns(), turns + 2);
}

} // namespace
} // namespace bdlogic::test
