#include "meter_sim/answer_framing.h"
#include "meterlink/meter_commands.h"
#include "meterlink_rig.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::LinkRig;
using test::Reply;

const QStringList kGlucoseMarkers{QStringLiteral("Glu"), QStringLiteral("Cntl")};
const QStringList kMarkerMarkers{QStringLiteral("P")};

// Block k of a series: two glucose lines, each unique to its block.
QByteArray Block(int k) {
    const QByteArray n = QByteArray::number(k);
    return sim::FrameAnswer({"Glu,1" + n + "0,mg/dl,0,20240131,0745", "Glu,1" + n + "1,mg/dl,0,20240131,0745"});
}
Reply At10(const QByteArray& bytes) { return {{10, bytes}}; }
std::uint8_t Code(int base, int k) { return static_cast<std::uint8_t>(base + k); }

// Ways an answer can be bad; each must count as one failed attempt.
const QByteArray kBadAnswers[] = {
    sim::FrameAnswer({"Glu,120,mg/dl,0,20240131,0745"}, 1),       // wrong check value
    sim::FrameAnswer({"Glu,120,mg/dl,0,20240131,0745"}) + "\r\n", // characters after the end mark
    "Glu,120,mg/dl,0,20240131,0745\r\nZZ\r\n]\r\n",               // check digits that are not hexadecimal
    "]\r\n",                                                      // shorter than a check line
};

QByteArray GlucoseSeries(LinkRig& rig) {
    return rig.layer.read_blocks(kGlucoseBase, kGlucoseMarkers, 4311, 4311);
}

TEST(ReadBlocks, CountsOnlyConsecutiveFailures) {
    const struct {
        const char* name;
        std::map<int, std::vector<bool>> outcomes; // per block: good or bad answer on each attempt
        int blocksAccepted;
    } cases[] = {
        {"bad,good,bad,bad,good", {{2, {false, true}}, {3, {false, false, true}}}, 9},
        {"three bad on block 4", {{4, {false, false, false, true}}}, 4},
        {"three bad on block 0", {{0, {false, false, false, true}}}, 0},
    };
    for (const auto& c : cases) {
        for (const QByteArray& bad : kBadAnswers) {
            SCOPED_TRACE(std::string(c.name) + " with " + bad.toStdString());
            LinkRig rig;
            rig.port.setPortOpen(true);
            for (int k = 0; k < 9; ++k) {
                std::vector<Reply> replies{At10(Block(k))};
                if (const auto o = c.outcomes.find(k); o != c.outcomes.end()) {
                    replies.clear();
                    for (const bool good : o->second) replies.push_back(At10(good ? Block(k) : bad));
                }
                rig.port.script(Code(kGlucoseBase, k), replies);
            }
            QByteArray expected;
            for (int k = 0; k < c.blocksAccepted; ++k) expected += Block(k);
            EXPECT_EQ(GlucoseSeries(rig), expected);
            // Blocks after a block that failed three times are never asked for.
            if (c.blocksAccepted < 9) {
                EXPECT_EQ(rig.port.sent(Code(kGlucoseBase, c.blocksAccepted + 1)), 0);
            }
        }
    }
}

TEST(ReadBlocks, MarkerSeriesRunsAfterTheGlucoseSeriesEndedEarly) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    for (int k = 0; k < 9; ++k) {
        rig.port.script(Code(kGlucoseBase, k), {At10(k == 4 ? kBadAnswers[0] : Block(k))});
        rig.port.script(Code(kMarkerBase, k), {At10(sim::FrameAnswer({}))});
    }
    const QByteArray glucose = GlucoseSeries(rig);
    const QByteArray markers = rig.layer.read_blocks(kMarkerBase, kMarkerMarkers, 4317, 4313);
    EXPECT_EQ(glucose, Block(0) + Block(1) + Block(2) + Block(3));
    EXPECT_EQ(markers, sim::FrameAnswer({}).repeated(9));
    EXPECT_EQ(rig.port.sent(0x84), 3);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(rig.port.sent(Code(kMarkerBase, k)), 1);
}

TEST(ReadBlocks, ShowsProgressOnlyAboveZero) {
    struct Series {
        int base;
        QStringList markers;
        int header, progress;
        std::vector<QList<QByteArray>> blocks;
        std::vector<int> shown; // progress numbers, one per block (the answers come in one piece)
    };
    const Series series[] = {
        // Glucose: n = markers in the answer - 1 + total so far; block 0 gives n = 0, which is not shown.
        {kGlucoseBase, kGlucoseMarkers, 4311, 4311,
         {{"Glu,100,mg/dl,0,20240131,0745"},
          {"Glu,101,mg/dl,0,20240131,0745", "Cntl,102,mg/dl,0,20240131,0745", "Glu,103,mg/dl,0,20240131,0745"},
          {"Glu,104,mg/dl,0,20240131,0745"}},
         {2, 3, 3, 3, 3, 3, 3, 3}},
        // Markers: the accepted total counts twice.
        {kMarkerBase, kMarkerMarkers, 4317, 4313,
         {{"P1,10,,,20240131,0800", "P2,4,,,20240131,1200"}, {"P3,30,,,20240131,1700"}},
         {1, 2, 3, 3, 3, 3, 3, 3, 3}},
    };
    for (const Series& s : series) {
        LinkRig rig;
        rig.port.setPortOpen(true);
        for (int k = 0; k < 9; ++k) {
            const QList<QByteArray> lines = k < static_cast<int>(s.blocks.size()) ? s.blocks[k] : QList<QByteArray>{};
            rig.port.script(Code(s.base, k), {At10(sim::FrameAnswer(lines))});
        }
        rig.layer.read_blocks(s.base, s.markers, s.header, s.progress);
        const bool glucose = s.base == kGlucoseBase;
        const QString head = glucose ? QStringLiteral("Glucose memory") : QStringLiteral("Marker memory");
        QStringList expected{(glucose ? head : QStringLiteral("Markers next")) + "\r\nPlease wait"};
        for (const int n : s.shown) expected << head + QStringLiteral("\r\n%1 entries").arg(n);
        EXPECT_EQ(rig.status.steps, expected) << "series " << s.base;
    }
}

TEST(ReadBlocks, GivesUpAnAttemptAfterThreeSecondsOfSilence) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    rig.port.script(0x80, {{}}); // never answers
    EXPECT_TRUE(GlucoseSeries(rig).isEmpty());
    ASSERT_EQ(rig.port.commandTimes.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        const std::uint32_t attempt = rig.port.commandTimes[i] - rig.port.commandTimes[i - 1];
        EXPECT_GE(attempt, 3000u);
        EXPECT_LE(attempt, 3000u + kPollMs);
    }
}

TEST(ReadBlocks, WaitsForASlowMeterThatKeepsSending) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    const QByteArray block = Block(0);
    // A byte every 2.5 s: 10 s for the whole answer, but never 3 s without news.
    Reply slow;
    for (qsizetype i = 0; i < 4; ++i) slow.push_back({static_cast<std::uint32_t>(10 + 2500 * i), block.mid(i, 1)});
    slow.push_back({10 + 2500 * 4, block.mid(4)});
    rig.port.script(0x80, {slow});
    for (int k = 1; k < 9; ++k) rig.port.script(Code(kGlucoseBase, k), {At10(Block(k))});
    EXPECT_TRUE(GlucoseSeries(rig).startsWith(block));
    EXPECT_EQ(rig.port.sent(0x80), 1);
}

TEST(ReadBlocks, GivesUpAnAttemptThatGrowsPastOneMebibyte) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    const QByteArray half(kAnswerLimit / 2 + 1, 'x');
    rig.port.script(0x80, {{{10, half}, {60, half}, {110, half}, {2000, "00\r\n]\r\n"}}});
    EXPECT_TRUE(GlucoseSeries(rig).isEmpty());
    ASSERT_EQ(rig.port.commandTimes.size(), 3u);
    // The attempt ends at the read that passed the limit, not at the end mark two seconds later.
    EXPECT_EQ(rig.port.commandTimes[1] - rig.port.commandTimes[0], 2 * kPollMs);
}

TEST(ReadBlocks, FailsAtOnceOnAClosedPort) {
    LinkRig rig;
    rig.port.script(0x80, {At10(Block(0))});
    const std::uint32_t before = rig.pump.now();
    EXPECT_TRUE(GlucoseSeries(rig).isEmpty());
    EXPECT_EQ(rig.pump.now(), before);
    EXPECT_TRUE(rig.port.commands.empty());
}

TEST(ReadBlocks, StopsAtOnceWhenTheProgramEnds) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    for (int k = 0; k < 9; ++k) rig.port.script(Code(kGlucoseBase, k), {At10(Block(k))});
    rig.port.script(0x82, {{{10, Block(2).left(10)}, {3000, Block(2).mid(10)}}});
    rig.pump.onEveryTurn([&] {
        if (rig.port.sent(0x82) > 0 && rig.pump.now() >= rig.port.commandTimes.back() + 200) rig.pump.requestStop();
    });
    EXPECT_EQ(GlucoseSeries(rig), Block(0) + Block(1));
    const std::uint32_t stopped = rig.pump.now();
    EXPECT_TRUE(rig.layer.read_blocks(kMarkerBase, kMarkerMarkers, 4317, 4313).isEmpty());
    EXPECT_TRUE(rig.layer.read_info().isEmpty());
    EXPECT_EQ(rig.port.commands.back(), 0x82); // nothing was asked for after the stop
    EXPECT_EQ(rig.pump.now(), stopped);
}

TEST(ReadInfo, ReturnsWhatArrivedUncheckedAfterOneCommand) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    const QByteArray info = sim::FrameAnswer({"BD,Logic,V2.10,mg/dl,24h,DMY,20240215,1432,1,0,0,0,LG12345678"}, 1);
    rig.port.script(kInfoCommand, {{{10, info.left(30)}, {70, info.mid(30)}}, {{10, "BD,Logic,V2"}}});
    EXPECT_EQ(rig.layer.read_info(), info);
    EXPECT_EQ(rig.port.commands, std::vector<std::uint8_t>{kInfoCommand});
    EXPECT_EQ(rig.layer.read_info(), "BD,Logic,V2"); // the meter fell silent before the end mark
    EXPECT_EQ(rig.port.sent(kInfoCommand), 2);
}

} // namespace
} // namespace bdlogic
