#include "memory/meter_read.h"

#include "startup/language.h"
#include "support/scripted_port.h"
#include "support/services_fixture.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::AtOnce;
using test::FramedAnswer;

constexpr std::uint8_t kGlucose = 0x80;
constexpr std::uint8_t kMarker = 0x90;
constexpr std::uint8_t kInfo = 0xA2;
const std::string kKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";
const QByteArray kInfoAnswer = FramedAnswer("BDL,1,2,3,4,5,6,7,8,9,10,11,SN0042-X\r\n");

class MeterReadTest : public ::testing::Test {
protected:
    MeterReadTest() {
        world.state.sRegPath = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\");
        world.state.sRegkey = QStringLiteral("BD Logic");
        world.state.iUniqueImportID = 64;
        world.services.language = LanguagePack::fromText(QStringLiteral("1234=out of range\n"));
        for (int k = 0; k < 9; ++k) {
            script(kGlucose + k, "");
            script(kMarker + k, "");
        }
        port.script(kInfo, {AtOnce(kInfoAnswer)});
        port.setPortOpen(true);
        port.log.clear();
    }
    void script(int code, const QByteArray& lines) {
        port.script(static_cast<std::uint8_t>(code), {AtOnce(FramedAnswer(lines))});
    }
    int Read() {
        MessageLayer layer(port, world.services);
        return meter_read(layer, world.services, records, report, [this](bool on) { animation.push_back(on); });
    }

    test::FakeWorld world;
    test::ScriptedPort port{world.pump};
    MeterRecords records;
    DownloadReport report;
    std::vector<bool> animation;
};

TEST_F(MeterReadTest, DownloadsBothMemoriesAndTheMeterId) {
    world.backend.putString(Hive::CurrentUser, kKey, "Marker", " star ");
    world.backend.putString(Hive::CurrentUser, kKey, "Type1", "1");
    world.backend.putString(Hive::CurrentUser, kKey, "Desc1", "Bread");
    world.backend.putString(Hive::CurrentUser, kKey, "Type_Insulin0", "9");
    script(kGlucose + 0, "Glu, 95,mg/dL,0,20240131,0745\r\nGlu,LO,mg/dL,0,20240131,0800\r\n");
    script(kGlucose + 3, "Cntl,110,mg/dL,1,20240201,0900\r\nGlu,100,mg/dL,0,00000000,0000\r\n");
    script(kMarker + 0, "P1,8,,,20240131,0746\r\nP2,5,,,20240131,0801\r\n");

    EXPECT_EQ(Read(), 5);

    ASSERT_EQ(records.iGlucoseLast, 2);
    EXPECT_EQ(records.glucose[0].BG, 95);
    EXPECT_EQ(records.glucose[1].COMMENT, QStringLiteral("out of range"));
    EXPECT_EQ(records.glucose[2].COMMENT, QStringLiteral("star"));
    EXPECT_EQ(records.glucose[2].IMPORT_ID, 64);
    EXPECT_EQ(records.iNoDateCount, 1);
    ASSERT_EQ(records.iInsulinLast, 0);
    EXPECT_EQ(records.insulin[0].I1, 8); // type 9: all of the dose in I1
    ASSERT_EQ(records.iIntakesLast, 0);
    EXPECT_EQ(records.intakes[0].DESC, QStringLiteral("Bread"));

    EXPECT_EQ(world.state.sMeterID, QStringLiteral("SN0042-X"));
    EXPECT_TRUE(report.complete());
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(animation, (std::vector<bool>{true, false}));

    std::vector<std::uint8_t> expected;
    for (int k = 0; k < 9; ++k) expected.push_back(static_cast<std::uint8_t>(kGlucose + k));
    for (int k = 0; k < 9; ++k) expected.push_back(static_cast<std::uint8_t>(kMarker + k));
    expected.push_back(kInfo);
    EXPECT_EQ(port.commands, expected);
    // Unsent output is dropped before the first command; the port closes after the information block.
    const QStringList log = port.log.filter(QRegularExpression(QStringLiteral("^(clearOutput|close|write)")));
    EXPECT_EQ(log.first(), QStringLiteral("clearOutput"));
    EXPECT_EQ(log.indexOf(QStringLiteral("close")), log.indexOf(QStringLiteral("write 00 A2")) + 1);
}

TEST_F(MeterReadTest, GlucoseSeriesEndingEarlyStillReadsMarkersAndInfo) {
    for (int k = 0; k < 9; ++k)
        script(kGlucose + k, QStringLiteral("Glu,%1,mg/dL,0,20240131,0745\r\n").arg(100 + k).toLatin1());
    port.script(kGlucose + 4, {AtOnce(test::CorruptAnswer("Glu,104,mg/dL,0,20240131,0745\r\n"))});
    script(kMarker + 2, "P4,3,,,20240131,0746\r\n");

    EXPECT_EQ(Read(), 5);
    ASSERT_EQ(records.iGlucoseLast, 3);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(records.glucose[static_cast<std::size_t>(k)].BG, 100 + k);
    EXPECT_EQ(records.iInsulinLast, 0);
    EXPECT_EQ(world.state.sMeterID, QStringLiteral("SN0042-X"));
    EXPECT_EQ(port.sent(kGlucose + 4), 3);
    EXPECT_EQ(port.sent(kGlucose + 5), 0);
    EXPECT_EQ(port.sent(kMarker + 8), 1);
    EXPECT_EQ(report, (DownloadReport{{4, LinkEnd::ChecksFailed}, {9, LinkEnd::Complete}, {1, LinkEnd::Complete}}));
}

TEST_F(MeterReadTest, ASilentMeterOrALostPortEndsTheWholeDownload) {
    script(kGlucose, "Glu,90,mg/dL,0,20240131,0700\r\n");
    const DownloadPart none, all{9, LinkEnd::Complete};
    const struct {
        const char* name;
        int silentCode, unplugCode;
        DownloadReport report;
    } rows[] = {
        {"silent in the glucose series", kGlucose + 3, 0, {{3, LinkEnd::MeterSilent}, none, none}},
        {"silent in the marker series", kMarker + 2, 0, {all, {2, LinkEnd::MeterSilent}, none}},
        {"silent at the information block", kInfo, 0, {all, all, {0, LinkEnd::MeterSilent}}},
        {"port lost in the glucose series", 0, kGlucose + 5, {{5, LinkEnd::PortLost}, none, none}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto code = static_cast<std::uint8_t>(row.silentCode + row.unplugCode);
        if (row.silentCode) port.script(code, {{}});
        world.pump.onEveryTurn([&] {
            if (row.unplugCode && port.sent(code)) port.unplug();
        });
        port.setPortOpen(true);
        port.commands.clear();
        EXPECT_EQ(Read(), 1); // what was read is decoded
        EXPECT_EQ(report, row.report);
        EXPECT_EQ(port.commands.back(), code); // nothing is asked for after it, not even this block again
        EXPECT_EQ(port.sent(code), 1);
        port.script(code, {AtOnce(code == kInfo ? kInfoAnswer : FramedAnswer(""))});
    }
}

TEST_F(MeterReadTest, ASecondDownloadStartsFromEmptyArraysButKeepsCountingUndatedLines) {
    world.backend.putString(Hive::CurrentUser, kKey, "Type2", "2");
    script(kGlucose, "Glu,90,mg/dL,0,00000000,0700\r\n");
    script(kMarker, "P3,45,,,20240131,1000\r\nP3,30,,,20240131,1800\r\n");
    EXPECT_EQ(Read(), 2);
    ASSERT_EQ(records.exercise.size(), 2u);
    EXPECT_EQ(records.iNoDateCount, 1);

    script(kMarker, "");
    port.setPortOpen(true);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(records.iExerciseLast, -1);
    EXPECT_TRUE(records.exercise.empty());
    EXPECT_EQ(records.iNoDateCount, 2); // the undated count goes on over the whole run
}

TEST_F(MeterReadTest, WithoutLanguageLibraryOutOfRangeReadingsHaveNoComment) {
    world.services.language.reset();
    script(kGlucose, "Glu,HI,mg/dL,0,20240131,0745\r\n");
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(records.glucose[0].BG, 600);
    EXPECT_EQ(records.glucose[0].COMMENT, QString());
}

TEST_F(MeterReadTest, MeterBytesAreOneCharacterEach) {
    world.backend.putString(Hive::CurrentUser, kKey, "Type0", "3");
    script(kMarker, "P1,\xb5\xb5,,,20240131,0745\r\nP1,2,,,20240131,0745\r\n");
    port.script(kInfo, {AtOnce(FramedAnswer("BDL,1,2,3,4,5,6,7,8,9,10,11,M\xfc" "ller\r\n"))});
    EXPECT_EQ(Read(), 2);
    EXPECT_EQ(records.medicines[0].NNN, 0);
    EXPECT_EQ(records.medicines[1].NNN, 2);
    EXPECT_EQ(world.state.sMeterID, QStringLiteral("M\u00fcller"));
}

} // namespace
} // namespace bdlogic
