#include "meter_sim/answer_framing.h"
#include "meterlink/meter_commands.h"
#include "meterlink_rig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string_view>

namespace bdlogic {
namespace {

using test::LinkRig;
using test::Reply;
using Replies = std::vector<Reply>; // one per attempt

// Block k of the glucose series: a reading unique to its block.
QByteArray Block(int k) { return sim::FrameAnswer({"Glu,1" + QByteArray::number(k) + "0,mg/dl,0,20240131,0745"}); }
Reply At10(const QByteArray& bytes) { return {{10, bytes}}; }

// A series on an open port; block k gets replies(k), one per attempt.
Exchange Series(LinkRig& rig, const std::function<Replies(int)>& replies, int base = kGlucoseBase) {
    rig.port.setPortOpen(true);
    for (int k = 0; k < 9; ++k) rig.port.script(static_cast<std::uint8_t>(base + k), replies(k));
    if (base == kMarkerBase) return rig.layer.read_blocks(base, {QStringLiteral("P")}, 4317, 4313);
    return rig.layer.read_blocks(base, {QStringLiteral("Glu"), QStringLiteral("Cntl")}, 4311, 4311);
}

TEST(ReadBlocks, EndsASeriesOnlyOnThreeFailedChecksInARow) {
    const QByteArray line = "Glu,120,mg/dl,0,20240131,0745";
    const QByteArray bad[] = {
        sim::FrameAnswer({line}, 1),       // wrong check value
        sim::FrameAnswer({line}) + "\r\n", // characters after the end mark, in the same read
        line + "\r\nZZ\r\n]\r\n",          // check digits that are not hexadecimal
    };
    // The answers in the order the attempts are made, g good and b bad, and the blocks accepted.
    const std::pair<const char*, int> rows[] = {{"ggbgbbgggggg", 9}, {"ggggbbb", 4}, {"bbb", 0}};
    for (const auto& [attempts, blocks] : rows)
        for (const QByteArray& answer : bad) {
            SCOPED_TRACE(std::string(attempts) + " with " + answer.toStdString());
            std::map<int, Replies> replies;
            int k = 0;
            for (const char a : std::string_view(attempts)) {
                replies[k].push_back(At10(a == 'g' ? Block(k) : answer));
                if (a == 'g') ++k;
            }
            LinkRig rig;
            const Exchange series = Series(rig, [&](int k) { return replies[k]; });
            QByteArray accepted;
            for (int b = 0; b < blocks; ++b) accepted += Block(b);
            EXPECT_EQ(series.text, accepted);
            EXPECT_EQ(series.part, (DownloadPart{blocks, blocks < 9 ? LinkEnd::ChecksFailed : LinkEnd::Complete}));
            // Three attempts on the failing block, none on the blocks after it.
            EXPECT_EQ(rig.port.commands.size(), std::strlen(attempts));
        }
}

// The progress number is the count of entries in the answer so far - 1 + the accepted total (which counts twice in
// the marker memory); it is not shown while it is 0 or less. Blocks 0..2 hold one entry each, the rest none.
TEST(ReadBlocks, ShowsProgressOnlyAboveZero) {
    const struct {
        int base;
        QByteArray entries[3];
        const char *header, *head;
        std::vector<int> shown; // one per block, from block 2 on
    } series[] = {
        {kGlucoseBase, {"Glu,100", "Cntl,101", "Glu,102"}, "Glucose memory", "Glucose memory", {1, 1, 1, 1, 1, 1, 1}},
        {kMarkerBase, {"P1,10", "P2,4", "P3,30"}, "Markers next", "Marker memory", {2, 3, 3, 3, 3, 3, 3}},
    };
    for (const auto& s : series) {
        LinkRig rig;
        Series(rig, [&](int k) {
            return Replies{At10(sim::FrameAnswer(k < 3 ? QList{s.entries[k]} : QList<QByteArray>{}))};
        }, s.base);
        QStringList expected{s.header + QStringLiteral("\r\nPlease wait")};
        for (const int n : s.shown) expected << QStringLiteral("%1\r\n%2 entries").arg(s.head).arg(n);
        EXPECT_EQ(rig.status.steps, expected) << s.head;
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
        const Exchange series = Series(rig, [&](int k) {
            const QByteArray block = Block(k);
            Reply reply;
            qsizetype from = 0;
            for (const auto& [at, upTo] : row.pieces) {
                const qsizetype to = upTo < 0 ? block.size() : upTo;
                reply.push_back({at, block.mid(from, to - from)});
                from = to;
            }
            if (row.lateAt) reply.push_back({row.lateAt, "\r\n"});
            return Replies{reply};
        });
        EXPECT_EQ(series.part.blocks, row.blocks);
        ASSERT_GE(rig.port.commandTimes.size(), 2u);
        EXPECT_EQ(rig.port.commandTimes[1] - rig.port.commandTimes[0], row.commandEvery);
    }
}

TEST(ReadBlocks, GivesUpAnAttemptThatGrowsPastOneMebibyte) {
    LinkRig rig;
    const QByteArray half(kAnswerLimit / 2 + 1, 'x');
    const Reply babble{{10, half}, {60, half}, {110, half}, {2000, "00\r\n]\r\n"}};
    EXPECT_EQ(Series(rig, [&](int) { return Replies{babble}; }).part, (DownloadPart{0, LinkEnd::ChecksFailed}));
    ASSERT_EQ(rig.port.commandTimes.size(), 3u);
    // The attempt ends at the pass that would take it past the limit, not at the end mark two seconds later.
    EXPECT_EQ(rig.port.commandTimes[1] - rig.port.commandTimes[0], 3 * kPollMs);
}

} // namespace
} // namespace bdlogic
