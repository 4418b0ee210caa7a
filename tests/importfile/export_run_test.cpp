// Whole export runs into a temporary import directory, their files compared byte for byte with golden/.
#include "importfile/busy_cursor.h"
#include "importfile/driver_version.h"
#include "importfile/export_run.h"
#include "importfile/ole_date.h"
#include "importfile/profile_file.h"
#include "importfile/work_file.h"
#include "startup/main_state.h"
#include "support/fakes.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Records are spelled with designated initializers; the text fields left out are meant to stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bdlogic {
namespace {

using test::ReadBytes;

const QDateTime kMoment(QDate(2026, 12, 3), QTime(23, 15, 7));
double Day(int y, int m, int d) { return *OleDate(y, m, d); }
double At(int h, int n) { return *OleTime(h, n); }

// Equal bytes (@DRIVER_VERSION@ stands for the program's version), else the first line that differs.
::testing::AssertionResult MatchesGolden(const QString& file, const char* golden) {
    const QList<QByteArray> want = ReadBytes(QStringLiteral(BDLOGIC_TEST_DATA_DIR "/importfile/golden/") + golden)
                                       .replace("@DRIVER_VERSION@", DriverVersion().toUtf8()).split('\n');
    const QList<QByteArray> got = ReadBytes(file).split('\n');
    qsizetype n = 0;
    while (n < want.size() && n < got.size() && want[n] == got[n]) ++n;
    if (n == want.size() && n == got.size() && n > 1) return ::testing::AssertionSuccess();
    const auto shown = [](QByteArray text) { return text.replace("\r", "\\r").left(120).toStdString(); };
    return ::testing::AssertionFailure() << golden << " differs at line " << n + 1 << "\n expected: "
                                         << shown(want.value(n)) << "\n written:  " << shown(got.value(n));
}

// Each category's cases: line breaks and "|" in texts, blanks, skips, negative and missing numbers, halves to
// round, and (for glucose) 501 slots, most of them empty.
MeterRecords Records() {
    MeterRecords r;
    r.glucose = {
        {.DATE = Day(2026, 11, 30), .TIME = At(7, 45), .BG = 95},
        {.DATE = Day(2026, 12, 1), .TIME = At(12, 5), .BG = 130, .EVENT = 3, .EVENT_DESC = "After lunch",
         .COMMENT = "  a|b\r\nc", .COMMENT2 = "!  "},
        {.DATE = 0, .BG = 77},
        {.DATE = Day(2026, 12, 2), .TIME = At(6, 0), .BG = -5, .CONTROL = kTrue, .SKIP = kTrue},
        {.DATE = Day(2026, 10, 15), .TIME = At(23, 59), .BG = 600, .EVENT = -2, .COMMENT = "HI"},
        {.DATE = Day(2026, 11, 2), .TIME = 0, .BG = 42, .EVENT_DESC = "x|y", .COMMENT = "\r\n", .SKIP = kTrue},
    };
    r.glucose.resize(501);
    r.insulin = {
        {.DATE = Day(2026, 12, 1), .TIME = At(8, 0), .I1 = 2.5},
        {.DATE = Day(2026, 12, 1), .TIME = At(12, 30), .I1 = 0, .I2 = 6.25, .TYPE = "Actrapid", .EVENT = 2,
         .EVENT_DESC = "Lunch", .COMMENT = "dose|split", .RAPID = kTrue, .SKIP = kTrue},
        {.DATE = Day(2026, 11, 20), .TIME = At(22, 0), .I1 = -1, .I2 = 0.04},
        {.DATE = Day(2026, 11, 21), .TIME = At(7, 0), .I1 = 0.45},
    };
    r.intakes = {
        {.DATE = Day(2026, 12, 2), .TIME = At(7, 30), .BU = 4},
        {.DATE = Day(2026, 12, 2), .TIME = At(12, 0), .BU = 2.5, .DESC = " Pasta|Sauce\r\n", .EVENT = 1,
         .EVENT_DESC = "Lunch", .COMMENT2 = "second helping", .CARBO = 30, .KCAL = 450, .FAT = 12.5f, .CHOL = -1,
         .PROTEIN = 0.25f, .FIBRES = 1.5f},
    };
    r.exercise = {
        {.DATE = Day(2026, 12, 1), .TIME = At(17, 0), .MMM = 30, .DESC = "Cycling", .EVENT = 3},
        {.DATE = Day(2026, 12, 2), .TIME = At(6, 15), .MMM = -10, .DESC = "  Run|fast\r\n ", .COMMENT = "tired",
         .SKIP = kTrue},
    };
    r.medicines = {
        {.DATE = Day(2026, 12, 1), .TIME = At(8, 0), .NNN = 1, .DESC = "Aspirin|100"},
        {.DATE = Day(2026, 12, 2), .TIME = At(20, 0), .NNN = 0, .DESC = " Statin ", .EVENT = 4,
         .COMMENT = "evening\r\ndose", .COMMENT2 = " ok", .TYP = 2, .SKIP = kTrue},
        {.DATE = Day(2026, 11, 28), .TIME = At(9, 30), .NNN = 2.5f, .TYP = -1},
    };
    return r;
}

class RecordingCursor : public BusyCursor {
public:
    void set(bool busy) override { states.push_back(busy); }
    std::vector<bool> states;
};

class ExportRun : public ::testing::Test {
protected:
    ExportedFile run(const MeterRecords& records, const QDateTime& moment = kMoment) {
        const ExportedFile exported = WriteImportFile(state, records, moment, profile, pump, &cursor);
        EXPECT_EQ(exported.written, exported.failure.isEmpty() && QFileInfo::exists(exported.path));
        return exported;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir_;
    MainState state{.sDriverName = QStringLiteral("BD Logic"), .sImportDir = dir_.path() + QDir::separator(),
                    .sMeterID = QStringLiteral("LOGIC-0815"), .iUniqueImportID = 64, .iPatientID = 42};
    ProfileFile profile;
    test::FakeEventPump pump;
    RecordingCursor cursor;
};

TEST_F(ExportRun, WritesEveryCategoryIntoOneFileInItsOrderWithPointsForDecimals) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    run(Records());
    QLocale::setDefault(saved);
    EXPECT_TRUE(MatchesGolden(path(QStringLiteral("03122026231507.00042")), "whole_file.golden"));
    EXPECT_EQ(cursor.states, (std::vector<bool>{true, false, true, false, true, false, true, false, true, false}));
    EXPECT_EQ(pump.turns(), 11 + 1 + 1 + 1 + 3) << "every 50th element from the last down, every medicine";
}

// Another export of the same second finds a file of its name, large enough for the whole-text path; a dead
// run's work file lies beside it and another run is still writing.
TEST_F(ExportRun, AddsToAFileOfItsNameThatStaysWholeUntilTheEnd) {
    const QString file = path(QStringLiteral("04012026000000.-00042"));
    const QByteArray before = "\r\n[OTHER]\r\nA=" + QByteArray(31000, 'x') + "\r\n\r\n[GLUCOSE]\r\n7=stale\r\n";
    ASSERT_TRUE(test::WriteBytes(file, before));
    ASSERT_TRUE(test::WriteBytes(path(QStringLiteral(".01012026000000.00007.0badf00d.part")), "[GLUCOSE]\r\n"));
    const WorkFile atWork(path(QStringLiteral("01012026000000.00007")));
    pump.onEveryTurn([&] { EXPECT_EQ(ReadBytes(file), before); });
    // Every entry lies after the export day, which is then their "From".
    const MeterRecords records{.glucose = {{.DATE = Day(2027, 1, 5), .TIME = At(8, 0), .BG = 100}},
                               .medicines = Records().medicines};
    state.sMeterID.clear();
    state.iPatientID = -42;
    run(records, QDateTime(QDate(2026, 1, 4), QTime(0, 0)));
    EXPECT_TRUE(MatchesGolden(file, "taken_over.golden"));
    EXPECT_EQ(files(), (QStringList{QFileInfo(atWork.path()).fileName(), QFileInfo(file).fileName()}));
}

TEST_F(ExportRun, OnlyCategoriesWhoseFirstElementHoldsADateGetASection) {
    const double day = Day(2026, 12, 1);
    const MeterRecords records{.glucose = {{}, {.DATE = day, .BG = 90}},
                               .intakes = std::vector<IntakeRecord>(501),
                               .exercise = {{.DATE = day, .MMM = 10}},
                               .medicines = {{}, {.DATE = day, .NNN = 1}}};
    state.iPatientID = 123456;
    run(records);
    EXPECT_TRUE(MatchesGolden(path(QStringLiteral("03122026231507.123456")), "exercise_only.golden"));
    EXPECT_EQ(cursor.states, (std::vector<bool>{true, false}));

    const ExportedFile nothing = run(MeterRecords{}, kMoment.addSecs(1));
    EXPECT_FALSE(nothing.written);
    EXPECT_TRUE(nothing.failure.isEmpty());
    EXPECT_EQ(files().size(), 1) << "neither an import file nor a work file";
}

TEST_F(ExportRun, ARunWhoseWriteFailsLeavesNoFileAndSaysWhy) {
    const MeterRecords records{.glucose = {{.DATE = Day(2026, 12, 1), .BG = 95}}};
    state.sImportDir = path(QStringLiteral("missing/"));
    ExportedFile exported = run(records);
    EXPECT_EQ(exported.path, state.sImportDir + QStringLiteral("03122026231507.00042"));
    EXPECT_FALSE(exported.written);
    EXPECT_EQ(exported.failure, QStringLiteral("No such file or directory"));

    // A save half-way that fails fails the run, though its file could still take the name.
    state.sImportDir = dir_.path() + QDir::separator();
    pump.at(0, [&] {
        const QString work = path(files().value(0));
        EXPECT_TRUE(QFile::remove(work) && QDir().mkdir(work));
    });
    exported = run(records);
    EXPECT_FALSE(exported.written);
    EXPECT_EQ(exported.failure, QStringLiteral("Is a directory"));
    EXPECT_TRUE(files().isEmpty());
}

} // namespace
} // namespace bdlogic
