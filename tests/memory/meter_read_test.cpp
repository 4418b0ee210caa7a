#include "memory/meter_read.h"

#include "../meterlink/meterlink_rig.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::AtOnce;
using test::FramedAnswer;

constexpr std::uint8_t kGlucose = 0x80;
constexpr std::uint8_t kMarker = 0x90;
constexpr std::uint8_t kInfo = 0xA2;

// A meter with empty memories; its information block has a check value that does not match (it is not checked).
struct Download : test::LinkRig {
    Download() {
        for (int k = 0; k < 9; ++k) {
            script(kGlucose + k, "");
            script(kMarker + k, "");
        }
        port.script(kInfo, {AtOnce(test::CorruptAnswer("BDL,1,2,3,4,5,6,7,8,9,10,11,M\xfcller\r\n"))});
    }
    void script(int code, const QByteArray& lines) {
        port.script(static_cast<std::uint8_t>(code), {AtOnce(FramedAnswer(lines))});
    }
    void store(Hive hive, const std::string& name, const std::string& value) {
        backend.putString(hive, state.modelKey().toStdString(), name, value);
    }
    int read() {
        port.setPortOpen(true);
        return meter_read(layer, services, records, report, [this](bool on) { animation.push_back(on); });
    }
    MeterRecords records;
    DownloadReport report;
    std::vector<bool> animation;
};

TEST(MeterRead, DownloadsBothMemoriesAndTheMeterIdThenClosesThePort) {
    Download d;
    d.store(Hive::CurrentUser, "Marker", " star ");
    d.store(Hive::CurrentUser, "Type1", "1");
    d.store(Hive::CurrentUser, "Desc1", "Bread");
    d.store(Hive::CurrentUser, "Type_Insulin0", "9");
    d.store(Hive::LocalMachine, "Type0", "2");    // only the user's choices count
    d.store(Hive::CurrentUser, "Type2", "seven"); // no number: insulin
    d.script(kGlucose + 0, "Glu,LO,mg/dL,0,20240131,0800\r\n");
    d.script(kGlucose + 3, "Cntl,110,mg/dL,1,20240201,0900\r\n");
    d.script(kMarker + 0, "P1,8,,,20240131,0746\r\nP2,5,,,20240131,0801\r\nP3,10,,,20240131,0802\r\n");

    EXPECT_EQ(d.read(), 5);
    ASSERT_EQ(d.records.iGlucoseLast, 1);
    EXPECT_EQ(d.records.glucose[0].COMMENT, QStringLiteral("out of range"));
    EXPECT_EQ(d.records.glucose[1].COMMENT, QStringLiteral("star"));
    EXPECT_EQ(d.records.glucose[1].IMPORT_ID, 64);
    ASSERT_EQ(d.records.iInsulinLast, 1);
    EXPECT_EQ(d.records.insulin[0].I1, 8);        // type 9: all of the dose in I1
    EXPECT_DOUBLE_EQ(d.records.insulin[1].I2, 9); // no type stored: 0, a 10/90 mixture
    ASSERT_EQ(d.records.iIntakesLast, 0);
    EXPECT_EQ(d.records.intakes[0].DESC, QStringLiteral("Bread"));
    EXPECT_EQ(d.state.sMeterID, QStringLiteral("M\u00fcller")); // one character per byte
    EXPECT_TRUE(d.report.complete());
    EXPECT_FALSE(d.port.portOpen());
    EXPECT_EQ(d.animation, (std::vector<bool>{true, false}));

    // Unsent output is dropped first; the port closes after the information block, and again at the end.
    QStringList expected{QStringLiteral("clearOutput")};
    for (const int base : {kGlucose, kMarker})
        for (int k = 0; k < 9; ++k) expected << "write 00 " + QString::number(base + k, 16).toUpper();
    expected << QStringLiteral("write 00 A2") << QStringLiteral("close") << QStringLiteral("close");
    EXPECT_EQ(d.port.log.filter(QRegularExpression(QStringLiteral("^(clearOutput|close|write)"))), expected);
}

// A series that ends on failed checks lets the download go on. A meter silent for three seconds, a port whose device
// goes away, or the program's end ends the whole download at once: no further attempt, series or information
// exchange. Either way what was read is decoded.
TEST(MeterRead, HowTheDownloadEnds) {
    using enum LinkEnd;
    const DownloadPart none, all{9, Complete}, info{1, Complete}, silent3{3, MeterSilent};
    const auto unplug = [](Download& d) { d.port.unplug(); };
    const auto stop = [](Download& d) { d.pump.requestStop(); };
    const struct {
        const char* name;
        std::uint8_t code;
        test::Reply reply;
        std::uint32_t at; // ms after the command
        void (*event)(Download&);
        DownloadReport report;
        std::size_t commands;    // all commands sent
        std::uint32_t endsAfter; // ms after the last one
    } rows[] = {
        {"failed checks", kGlucose + 4, {{0, test::CorruptAnswer("")}}, 0, {}, {{4, ChecksFailed}, all, info}, 17, 100},
        {"no answer", kGlucose + 3, {}, 0, {}, {silent3, none, none}, 4, 3000},
        {"silent after a few bytes", kGlucose + 3, {{10, "G"}, {120, "l"}}, 0, {}, {silent3, none, none}, 4, 3150},
        {"unplugged in an answer", kGlucose + 5, {{10, "G"}}, 75, unplug, {{5, PortLost}, none, none}, 6, 100},
        {"the program ends in an answer", kGlucose + 2, {{10, "G"}}, 200, stop, {{2, Stopped}, none, none}, 3, 200},
        {"silent in the marker series", kMarker + 2, {}, 0, {}, {all, {2, MeterSilent}, none}, 12, 3000},
        {"silent at the information block", kInfo, {}, 0, {}, {all, all, {0, MeterSilent}}, 19, 3000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Download d;
        d.script(kGlucose, "Glu,90,mg/dL,0,20240131,0700\r\n");
        d.port.script(row.code, {row.reply});
        d.pump.onEveryTurn([&] {
            if (row.event && d.port.sent(row.code) && d.pump.now() >= d.port.commandTimes.back() + row.at) row.event(d);
            if (d.pump.turns() > 100000) d.port.unplug(); // a download that would never end fails instead
        });
        EXPECT_EQ(d.read(), 1);
        EXPECT_EQ(d.report, row.report);
        EXPECT_EQ(d.port.commands.size(), row.commands);
        EXPECT_EQ(d.pump.now() - d.port.commandTimes.back(), row.endsAfter);
    }
}

TEST(MeterRead, ASecondDownloadStartsFromEmptyArraysButKeepsCountingUndatedLines) {
    Download d;
    d.store(Hive::CurrentUser, "Type2", "2");
    d.script(kGlucose, "Glu,90,mg/dL,0,00000000,0700\r\n");
    d.script(kMarker, "P3,45,,,20240131,1000\r\nP3,30,,,20240131,1800\r\n");
    EXPECT_EQ(d.read(), 2);
    EXPECT_EQ(d.records.exercise.size(), 2u);
    EXPECT_EQ(d.records.iNoDateCount, 1);

    d.script(kMarker, "");
    EXPECT_EQ(d.read(), 0);
    EXPECT_EQ(d.records.iExerciseLast, -1);
    EXPECT_TRUE(d.records.exercise.empty());
    EXPECT_EQ(d.records.iNoDateCount, 2); // the undated count goes on over the whole run
}

TEST(MeterRead, WithoutLanguageLibraryOutOfRangeReadingsHaveNoComment) {
    Download d;
    d.services.language.reset();
    d.script(kGlucose, "Glu,HI,mg/dL,0,20240131,0745\r\n");
    EXPECT_EQ(d.read(), 1);
    EXPECT_EQ(d.records.glucose[0].COMMENT, QString());
}

} // namespace
} // namespace bdlogic
