#include "golden_check.h"
#include "importfile/export_run.h"
#include "importfile/work_file.h"
#include "startup/main_state.h"
#include "support/test_files.h"
#include "writer_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>


// Records are spelled with designated initializers; the text fields left out are meant to stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bdlogic {
namespace {

using test::At;
using test::Day;

const QDateTime kMoment(QDate(2026, 12, 3), QTime(23, 15, 7));

class ExportRun : public test::WriterTest {
protected:
    ExportRun() {
        state.sImportDir = dir_.path() + QDir::separator();
        state.iPatientID = 42;
        state.sDriverName = QStringLiteral("BD Logic");
        state.sMeterID = QStringLiteral("LOGIC-0815");
        state.iUniqueImportID = 64;
    }
    QString run(const MeterRecords& records, const QDateTime& moment = kMoment) {
        const ExportedFile exported = WriteImportFile(state, records, moment, profile, pump, &cursor);
        EXPECT_EQ(exported.written, exported.failure.isEmpty() && QFileInfo::exists(exported.path));
        return exported.path;
    }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QStringList headers(const QString& file) {
        profile.ProfileLoad(file);
        return profile.lines().filter(QRegularExpression(QStringLiteral("^\\[")));
    }
    MainState state;
};

TEST(ImportFilePath, NamesTheFileAfterTheMomentAndThePatient) {
    const struct {
        std::int32_t patient;
        QDateTime moment;
        const char* name;
    } rows[] = {
        {42, kMoment, "03122026231507.00042"},
        {123456, kMoment, "03122026231507.123456"},
        {-42, QDateTime(QDate(2026, 1, 5), QTime(4, 3, 2)), "05012026040302.-00042"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ImportFilePath(QStringLiteral("/import/"), r.patient, r.moment),
                  QStringLiteral("/import/") + QLatin1String(r.name));
}

TEST_F(ExportRun, WritesAllFiveSectionsInOrderIntoOneFile) {
    MeterRecords records;
    records.glucose.resize(501);
    records.glucose[0] = {.DATE = Day(2026, 12, 1), .TIME = At(7, 45), .BG = 95};
    records.glucose[1] = {.DATE = Day(2026, 12, 2), .TIME = At(21, 10), .BG = 180, .COMMENT = "after|dinner"};
    records.insulin = {
        {.DATE = Day(2026, 12, 2), .TIME = At(7, 50), .I1 = 4, .TYPE = "Rapid", .RAPID = kTrue}};
    records.intakes = {{.DATE = Day(2026, 12, 2), .TIME = At(8, 0), .BU = 3, .DESC = "Breakfast"}};
    records.exercise = {{.DATE = Day(2026, 12, 2), .TIME = At(18, 0), .MMM = 45, .DESC = "Walking"}};
    records.medicines = {{.DATE = Day(2026, 12, 2), .TIME = At(22, 0), .NNN = 1, .DESC = "Metformin"}};
    const QString file = run(records);
    EXPECT_EQ(file, state.sImportDir + QStringLiteral("03122026231507.00042"));
    EXPECT_TRUE(test::MatchesGolden(file, "whole_file.golden"));
    EXPECT_EQ(cursor.states,
              (std::vector<bool>{true, false, true, false, true, false, true, false, true, false}));
}

TEST_F(ExportRun, OnlyCategoriesWithEntriesGetASection) {
    MeterRecords glucoseOnly;
    glucoseOnly.glucose.resize(501);
    glucoseOnly.glucose[0] = {.DATE = Day(2026, 12, 1), .BG = 95};
    EXPECT_EQ(headers(run(glucoseOnly)), QStringList{QStringLiteral("[GLUCOSE]")});

    MeterRecords markersOnly;
    markersOnly.glucose.resize(501);
    markersOnly.insulin.resize(501);
    markersOnly.exercise = {{.DATE = Day(2026, 12, 1), .MMM = 10}};
    markersOnly.medicines = {{.DATE = Day(2026, 12, 1), .NNN = 1}};
    EXPECT_EQ(headers(run(markersOnly, kMoment.addSecs(1))),
              (QStringList{QStringLiteral("[EXERCISE]"), QStringLiteral("[MEDICINES]")}));

    const QString none = run(MeterRecords{}, kMoment.addSecs(2));
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST_F(ExportRun, TheFileGetsItsNameWhenCompleteAndTakesOverAFileOfThatName) {
    const QString stale = path(QStringLiteral(".01012026000000.00007.0badf00d.part"));
    put(stale, "[GLUCOSE]\r\n");
    const WorkFile atWork(path(QStringLiteral("01012026000000.00007"))); // another run, still writing
    const QString file = path(QStringLiteral("03122026231507.00042"));
    put(file, "[OTHER]\r\nX=1\r\n");
    MeterRecords records;
    records.glucose = {{.DATE = Day(2026, 12, 1), .BG = 95}};
    pump.onEveryTurn([&] { EXPECT_EQ(test::ReadBytes(file), "[OTHER]\r\nX=1\r\n"); });
    EXPECT_EQ(run(records), file);
    EXPECT_EQ(files(), (QStringList{QFileInfo(atWork.path()).fileName(), QFileInfo(file).fileName()}));
    EXPECT_EQ(headers(file), (QStringList{QStringLiteral("[OTHER]"), QStringLiteral("[GLUCOSE]")}));
}

TEST_F(ExportRun, ARunWhoseWriteFailsLeavesNoFileAndSaysWhy) {
    MeterRecords records;
    records.glucose = {{.DATE = Day(2026, 12, 1), .BG = 95}};
    state.sImportDir = path(QStringLiteral("missing/"));
    ExportedFile exported = WriteImportFile(state, records, kMoment, profile, pump);
    EXPECT_EQ(exported.path, state.sImportDir + QStringLiteral("03122026231507.00042"));
    EXPECT_FALSE(exported.written);
    EXPECT_EQ(exported.failure, QStringLiteral("No such file or directory"));

    // A save half-way that fails (here: the work file is gone) fails the run.
    state.sImportDir = dir_.path() + QDir::separator();
    pump.at(0, [&] { QFile::remove(path(files().value(0))); });
    exported = WriteImportFile(state, records, kMoment, profile, pump);
    EXPECT_FALSE(exported.written);
    EXPECT_EQ(exported.failure, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(ExportRun, AnExportAtMidnightHasNoTimeOfImport) {
    MeterRecords records;
    records.glucose = {{.DATE = Day(2026, 12, 1), .BG = 95}};
    const QString file = run(records, QDateTime(QDate(2026, 12, 4), QTime(0, 0, 0)));
    EXPECT_TRUE(file.endsWith(QStringLiteral("04122026000000.00042")));
    profile.ProfileLoad(file);
    const QStringList lines = profile.lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Date of Import=04122026")));
    EXPECT_TRUE(lines.filter(QStringLiteral("Time of Import")).isEmpty());
    EXPECT_TRUE(lines.contains(QStringLiteral("From=01122026")));
}

} // namespace
} // namespace bdlogic
