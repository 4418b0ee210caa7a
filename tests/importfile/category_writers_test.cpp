#include "golden_check.h"
#include "importfile/entry_lines.h"
#include "support/test_files.h"
#include "writer_fixture.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

// Records are spelled with designated initializers; the text fields left out are meant to stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bdlogic {
namespace {

using test::At;
using test::Day;
using test::MatchesGolden;
using test::ReadBytes;

class CategoryWriters : public test::WriterTest {};

std::vector<MedicineRecord> Medicines() {
    return {
        {.DATE = Day(2026, 12, 1), .TIME = At(8, 0), .NNN = 1, .DESC = "Aspirin|100"},
        {.DATE = Day(2026, 12, 2), .TIME = At(20, 0), .NNN = 0, .DESC = " Statin ", .EVENT = 4,
         .COMMENT = "evening\r\ndose", .COMMENT2 = " ok", .TYP = 2, .SKIP = kTrue},
        {.DATE = Day(2026, 11, 28), .TIME = At(9, 30), .NNN = 2.5f, .TYP = -1},
    };
}

TEST_F(CategoryWriters, GlucoseSection) {
    ImportHeader header = test::MeterHeader();
    header.ImportAction = QStringLiteral("Merge");
    const std::vector<GlucoseRecord> records{
        {.DATE = Day(2026, 11, 30), .TIME = At(7, 45), .BG = 95},
        {.DATE = Day(2026, 12, 1), .TIME = At(12, 5), .BG = 130, .EVENT = 3, .EVENT_DESC = "After lunch",
         .COMMENT = "  a|b\r\nc", .COMMENT2 = "!  "},
        {.DATE = 0, .BG = 77},
        {.DATE = Day(2026, 12, 2), .TIME = At(6, 0), .BG = -5, .CONTROL = kTrue, .SKIP = kTrue},
        {.DATE = Day(2026, 10, 15), .TIME = At(23, 59), .BG = 600, .EVENT = -2, .COMMENT = "HI"},
        {.DATE = Day(2026, 11, 2), .TIME = 0, .BG = 42, .EVENT_DESC = "x|y", .COMMENT = "\r\n", .SKIP = kTrue},
    };
    EXPECT_EQ(ExportGlucose(file(), header, records, context()), 5);
    EXPECT_TRUE(MatchesGolden(file(), "glucose.golden"));
    EXPECT_EQ(cursor.states, (std::vector<bool>{true, false}));
    EXPECT_EQ(pump.turns(), 1) << "events run at index 0 only below 50 elements";
}

TEST_F(CategoryWriters, FromIsTheExportDayWhenEveryReadingLiesAhead) {
    ExportGlucose(file(), ImportHeader{}, {{.DATE = Day(2027, 1, 5), .TIME = At(8, 0), .BG = 100}}, context());
    EXPECT_TRUE(MatchesGolden(file(), "glucose_future.golden"));
}

TEST_F(CategoryWriters, InsulinSection) {
    ImportHeader header = test::MeterHeader();
    header.ImportID.clear();
    const std::vector<InsulinRecord> records{
        {.DATE = Day(2026, 12, 1), .TIME = At(8, 0), .I1 = 2.5},
        {.DATE = Day(2026, 12, 1), .TIME = At(12, 30), .I1 = 0, .I2 = 6.25, .TYPE = "Actrapid", .EVENT = 2,
         .EVENT_DESC = "Lunch", .COMMENT = "dose|split", .RAPID = kTrue, .SKIP = kTrue},
        {.DATE = Day(2026, 11, 20), .TIME = At(22, 0), .I1 = -1, .I2 = 0.04},
        {.DATE = Day(2026, 11, 21), .TIME = At(7, 0), .I1 = 0.45},
    };
    EXPECT_EQ(ExportInsulin(file(), header, records, context()), 3);
    EXPECT_TRUE(MatchesGolden(file(), "insulin.golden"));
}

TEST_F(CategoryWriters, IntakesSection) {
    const std::vector<IntakeRecord> records{
        {.DATE = Day(2026, 12, 2), .TIME = At(7, 30), .BU = 4},
        {.DATE = Day(2026, 12, 2), .TIME = At(12, 0), .BU = 2.5, .DESC = " Pasta|Sauce\r\n", .EVENT = 1,
         .EVENT_DESC = "Lunch", .COMMENT2 = "second helping", .CARBO = 30, .KCAL = 450, .FAT = 12.5f, .CHOL = -1,
         .PROTEIN = 0.25f, .FIBRES = 1.5f},
        {},
    };
    EXPECT_EQ(ExportIntakes(file(), test::MeterHeader(), records, context()), 2);
    EXPECT_TRUE(MatchesGolden(file(), "intakes.golden"));
}

TEST_F(CategoryWriters, ExerciseSection) {
    const std::vector<ExerciseRecord> records{
        {.DATE = Day(2026, 12, 1), .TIME = At(17, 0), .MMM = 30, .DESC = "Cycling", .EVENT = 3},
        {.DATE = Day(2026, 12, 2), .TIME = At(6, 15), .MMM = -10, .DESC = "  Run|fast\r\n ", .COMMENT = "tired",
         .SKIP = kTrue},
    };
    EXPECT_EQ(ExportExercise(file(), test::MeterHeader(), records, context()), 1);
    EXPECT_TRUE(MatchesGolden(file(), "exercise.golden"));
}

TEST_F(CategoryWriters, MedicinesSectionInASmallFile) {
    EXPECT_EQ(ExportMedicines(file(), test::MeterHeader(), Medicines(), context()), 2);
    EXPECT_TRUE(MatchesGolden(file(), "medicines.golden"));
    EXPECT_EQ(pump.turns(), 3) << "events run after every medicine";
    EXPECT_EQ(cursor.states, (std::vector<bool>{true, false}));
}

TEST_F(CategoryWriters, MedicinesSectionInAFileOf31000BytesOrMore) {
    put(file(), "\r\n[GLUCOSE]\r\nA=" + QByteArray(31000, 'x') + "\r\n\r\n");
    ExportMedicines(file(), test::MeterHeader(), Medicines(), context());
    EXPECT_TRUE(MatchesGolden(file(), "medicines_large.golden"));
}

TEST_F(CategoryWriters, NothingIsWrittenWhenElementZeroHoldsNoDate) {
    const QByteArray before = "\r\n[GLUCOSE]\r\nEntries=1\r\n";
    put(file(), before);
    const ImportHeader h = test::MeterHeader();
    const double day = Day(2026, 12, 1);
    EXPECT_EQ(ExportGlucose(file(), h, {{}, {.DATE = day, .BG = 90}}, context()), 0);
    EXPECT_EQ(ExportInsulin(file(), h, {{}, {.DATE = day, .I1 = 1}}, context()), 0);
    EXPECT_EQ(ExportMedicines(file(), h, {{}, {.DATE = day, .NNN = 1}}, context()), 0);
    EXPECT_EQ(ExportMedicines(file(), h, {}, context()), 0);
    EXPECT_EQ(ReadBytes(file()), before);
    EXPECT_TRUE(cursor.states.empty());
    EXPECT_EQ(pump.turns(), 0);
}

TEST_F(CategoryWriters, EmptySlotsGetNoKeysAndEventsRunEveryFiftyElements) {
    std::vector<GlucoseRecord> records(501);
    for (std::size_t i = 0; i < 10; ++i) records[i] = {.DATE = Day(2026, 12, 1), .BG = 100};
    EXPECT_EQ(ExportGlucose(file(), ImportHeader{}, records, context()), 500);
    EXPECT_EQ(pump.turns(), 11) << "indexes 500, 450, ..., 50, 0";
    profile.ProfileLoad(file());
    const QStringList lines = profile.lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Entries=10")));
    EXPECT_TRUE(lines.contains(QStringLiteral("10=01122026|0000|100")));
    QList<int> keys;
    const QRegularExpression numbered(QStringLiteral("^([0-9]+)="));
    for (const QString& line : lines)
        if (const auto m = numbered.match(line); m.hasMatch()) keys << m.captured(1).toInt();
    EXPECT_EQ(keys, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(CategoryWriters, DecimalsUseAPointUnderACommaLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ExportInsulin(file(), ImportHeader{}, {{.DATE = Day(2026, 12, 1), .TIME = At(8, 0), .I1 = 2.5}}, context());
    QLocale::setDefault(saved);
    const QByteArray bytes = ReadBytes(file());
    EXPECT_TRUE(bytes.contains("\r\n1=01122026|0800|2.5\r\n")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains("2,5"));
}

// What the golden files do not show: rounding at the half and days outside the host's years.
TEST(EntryLines, RoundHalvesUpAndLeaveOutDaysThatDoNotPrint) {
    const double day = Day(2024, 1, 31);
    EXPECT_EQ(InsulinLine({.DATE = day, .I1 = 0.05, .I2 = 1e-9}), QStringLiteral("31012024|0000|0.1|0.0"));
    EXPECT_EQ(InsulinLine({.DATE = day, .I1 = 2.25, .RAPID = 1}), QStringLiteral("31012024|0000|2.3||-1"));
    EXPECT_EQ(MedicineLine({.DATE = 1e12, .TIME = std::nan(""), .NNN = 1}), QStringLiteral("||1.0"));
}

} // namespace
} // namespace bdlogic
