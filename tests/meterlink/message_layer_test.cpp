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

Exchange GlucoseSeries(LinkRig& rig) {
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
            const Exchange series = GlucoseSeries(rig);
            EXPECT_EQ(series.text, expected);
            EXPECT_EQ(series.part, (DownloadPart{c.blocksAccepted, c.blocksAccepted < 9 ? LinkEnd::ChecksFailed
                                                                                        : LinkEnd::Complete}));
            // Blocks after a block that failed three times are never asked for.
            if (c.blocksAccepted < 9) {
                EXPECT_EQ(rig.port.sent(Code(kGlucoseBase, c.blocksAccepted + 1)), 0);
            }
        }
    }
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

// Each block's answer comes in pieces: `upTo` bytes of it (-1: the rest) `at` ms after the command, then CR LF
// at `lateAt` when set. The answer is read 50 ms after the command and every 50 ms after that, and collected up to
// one pass after the read that brought its end mark; whatever comes in that pass is dropped with the buffer.
TEST(ReadBlocks, CollectsEachAnswerUntilOnePassAfterItsEndMark) {
    const struct {
        const char* name;
        std::vector<std::pair<std::uint32_t, qsizetype>> pieces;
        std::uint32_t lateAt;
        int blocks;
        std::uint32_t commandEvery;
    } rows[] = {
        {"in one piece", {{10, -1}}, 0, 9, 100},
        {"in two reads", {{10, 20}, {70, -1}}, 0, 9, 200},
        {"CR LF 60 ms after the end mark", {{10, -1}}, 70, 9, 100},
        {"CR LF in the last pass", {{10, 20}, {70, -1}}, 140, 9, 200},
        {"CR LF just before the flush", {{10, 20}, {70, -1}}, 199, 9, 200},
        {"CR LF in the read of the end mark", {{10, -1}}, 40, 0, 100},
        // A byte every 2.5 s: never 3 s without news.
        {"slow but steady", {{10, 1}, {2510, 2}, {5010, 3}, {7510, 4}, {10010, -1}}, 0, 9, 10150},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LinkRig rig;
        rig.port.setPortOpen(true);
        for (int k = 0; k < 9; ++k) {
            const QByteArray block = Block(k);
            Reply reply;
            qsizetype from = 0;
            for (const auto& [at, upTo] : row.pieces) {
                const qsizetype to = upTo < 0 ? block.size() : upTo;
                reply.push_back({at, block.mid(from, to - from)});
                from = to;
            }
            if (row.lateAt) reply.push_back({row.lateAt, "\r\n"});
            rig.port.script(Code(kGlucoseBase, k), {reply});
        }
        EXPECT_EQ(GlucoseSeries(rig).part.blocks, row.blocks);
        ASSERT_GE(rig.port.commandTimes.size(), 2u);
        EXPECT_EQ(rig.port.commandTimes[1] - rig.port.commandTimes[0], row.commandEvery);
    }
}

// A meter that stays silent for three seconds, or a port that goes away, ends the series at once: no further
// attempt on that block.
TEST(ReadBlocks, ASilentMeterOrALostPortEndsTheSeriesAtOnce) {
    const struct {
        const char* name;
        Reply block2;
        std::uint32_t unplugAt; // after block 2's command; 0: never
        LinkEnd end;
        std::uint32_t endsAfter; // ms after block 2's command
    } rows[] = {
        {"no answer", {}, 0, LinkEnd::MeterSilent, 3000},
        {"silent after a few bytes", {{10, "Glu,1"}, {120, "20,mg"}}, 0, LinkEnd::MeterSilent, 3150},
        {"unplugged in the middle of an answer", {{10, "Glu,1"}}, 75, LinkEnd::PortLost, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LinkRig rig;
        rig.port.setPortOpen(true);
        for (int k = 0; k < 9; ++k) rig.port.script(Code(kGlucoseBase, k), {k == 2 ? row.block2 : At10(Block(k))});
        rig.pump.onEveryTurn([&] {
            if (row.unplugAt && rig.port.sent(0x82) && rig.pump.now() >= rig.port.commandTimes.back() + row.unplugAt)
                rig.port.unplug();
        });
        const Exchange series = GlucoseSeries(rig);
        EXPECT_EQ(series.text, Block(0) + Block(1));
        EXPECT_EQ(series.part, (DownloadPart{2, row.end}));
        EXPECT_EQ(rig.port.sent(0x82), 1);
        EXPECT_EQ(rig.pump.now() - rig.port.commandTimes.back(), row.endsAfter);
    }
    LinkRig closed;
    closed.port.script(0x80, {At10(Block(0))});
    EXPECT_EQ(GlucoseSeries(closed).part, (DownloadPart{0, LinkEnd::PortLost}));
    EXPECT_EQ(closed.pump.now(), 0u);
    EXPECT_TRUE(closed.port.commands.empty());
}

TEST(ReadBlocks, GivesUpAnAttemptThatGrowsPastOneMebibyte) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    const QByteArray half(kAnswerLimit / 2 + 1, 'x');
    rig.port.script(0x80, {{{10, half}, {60, half}, {110, half}, {2000, "00\r\n]\r\n"}}});
    EXPECT_EQ(GlucoseSeries(rig).part, (DownloadPart{0, LinkEnd::ChecksFailed}));
    ASSERT_EQ(rig.port.commandTimes.size(), 3u);
    // The attempt ends at the pass that would take it past the limit, not at the end mark two seconds later.
    EXPECT_EQ(rig.port.commandTimes[1] - rig.port.commandTimes[0], 3 * kPollMs);
}

TEST(ReadBlocks, StopsAtOnceWhenTheProgramEnds) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    for (int k = 0; k < 9; ++k) rig.port.script(Code(kGlucoseBase, k), {At10(Block(k))});
    rig.port.script(0x82, {{{10, Block(2).left(10)}, {3000, Block(2).mid(10)}}});
    rig.pump.onEveryTurn([&] {
        if (rig.port.sent(0x82) > 0 && rig.pump.now() >= rig.port.commandTimes.back() + 200) rig.pump.requestStop();
    });
    EXPECT_EQ(GlucoseSeries(rig).text, Block(0) + Block(1));
    const std::uint32_t stopped = rig.pump.now();
    EXPECT_TRUE(rig.layer.read_blocks(kMarkerBase, kMarkerMarkers, 4317, 4313).text.isEmpty());
    EXPECT_TRUE(rig.layer.read_info().text.isEmpty());
    EXPECT_EQ(rig.port.commands.back(), 0x82); // nothing was asked for after the stop
    EXPECT_EQ(rig.pump.now(), stopped);
}

TEST(ReadInfo, ReturnsWhatArrivedUncheckedAfterOneCommand) {
    LinkRig rig;
    rig.port.setPortOpen(true);
    const QByteArray info = sim::FrameAnswer({"BD,Logic,V2.10,mg/dl,24h,DMY,20240215,1432,1,0,0,0,LG12345678"}, 1);
    rig.port.script(kInfoCommand, {{{10, info.left(30)}, {70, info.mid(30)}}, {{10, "BD,Logic,V2"}}});
    EXPECT_EQ(rig.layer.read_info().text, info);
    EXPECT_EQ(rig.port.commands, std::vector<std::uint8_t>{kInfoCommand});
    const Exchange cut = rig.layer.read_info(); // the meter fell silent before the end mark
    EXPECT_EQ(cut.text, "BD,Logic,V2");
    EXPECT_EQ(cut.part, (DownloadPart{0, LinkEnd::MeterSilent}));
    EXPECT_EQ(rig.port.sent(kInfoCommand), 2);
}

} // namespace
} // namespace bdlogic
