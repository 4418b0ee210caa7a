#include "memory/marker_decoder.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

constexpr double kJan31_2024 = 45322;
constexpr double k0800 = 8 * 60 / 1440.0;

MarkerEntry Entry(std::int16_t dataType, std::int16_t insulinType, const char* description) {
    return {dataType, insulinType, QString::fromLatin1(description)};
}

// P1 insulin (30/70 mixture), P2 intakes, P3 exercise, P4 medicines.
MarkerTable AllKinds() {
    return {Entry(kMarkerInsulin, 2, "Mix"), Entry(kMarkerIntakes, 0, "Bread"), Entry(kMarkerExercise, 0, "Walk"),
            Entry(kMarkerMedicines, 0, "Aspirin")};
}

MeterRecords Decode(const QStringList& lines, const MarkerTable& table) {
    MeterRecords records;
    DecodeMarkers(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n5E\r\n]\r\n"), table, 64, records);
    return records;
}

TEST(MarkerDecoderTest, EachDataTypeFillsItsArray) {
    const MeterRecords r = Decode({"P1,10,,,20240131,0800", "P2, 12,,,20240131,0800", "P3,30,,,20240131,0800",
                                   "P4,2,,,20240131,0800", "P2,3.5,,,20240131,0800"},
                                  AllKinds());
    ASSERT_EQ(r.iInsulinLast, 0);
    EXPECT_DOUBLE_EQ(r.insulin[0].I1, 3);
    EXPECT_DOUBLE_EQ(r.insulin[0].I2, 7);
    EXPECT_EQ(r.insulin[0].TYPE, QStringLiteral("Mix"));
    EXPECT_EQ(r.insulin[0].IMPORT_ID, 64);
    EXPECT_EQ(r.insulin[0].DATE, kJan31_2024);
    EXPECT_DOUBLE_EQ(r.insulin[0].TIME, k0800);

    ASSERT_EQ(r.iIntakesLast, 1);
    EXPECT_EQ(r.intakes[0].BU, 12);
    EXPECT_EQ(r.intakes[1].BU, 4); // read as a 16-bit integer: halves go to the even neighbour
    EXPECT_EQ(r.intakes[0].DESC, QStringLiteral("Bread"));

    ASSERT_EQ(r.iExerciseLast, 0);
    EXPECT_EQ(r.exercise[0].MMM, 30);
    EXPECT_EQ(r.exercise[0].DESC, QStringLiteral("Walk"));

    ASSERT_EQ(r.iMedicinesLast, 0);
    EXPECT_EQ(r.medicines[0].NNN, 2.0f);
    EXPECT_EQ(r.medicines[0].DESC, QStringLiteral("Aspirin"));
}

TEST(MarkerDecoderTest, InsulinSplitTable) {
    struct Case {
        std::int16_t type;
        double i1, i2;
        bool rapid;
    };
    const Case cases[] = {
        {0, 1, 9, false},  {1, 2, 8, false},  {2, 3, 7, false},   {3, 4, 6, false},  {4, 5, 5, false},
        {5, 6, 4, false},  {6, 7, 3, false},  {7, 8, 2, false},   {8, 9, 1, false},  {9, 10, 0, false},
        {10, 0, 10, false}, {11, 0, 10, false}, {12, 0, 10, false}, {13, 10, 0, true}, {14, 0, 0, false},
        {-1, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const InsulinSplit s = SplitInsulin(c.type, 10);
        EXPECT_NEAR(s.i1, c.i1, 1e-12);
        EXPECT_NEAR(s.i2, c.i2, 1e-12);
        EXPECT_EQ(s.rapid, c.rapid);
    }
}

TEST(MarkerDecoderTest, DoseReadsInTheSystemNumberFormat) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    MarkerTable table = AllKinds();
    table[0] = Entry(kMarkerInsulin, 9, "Basal");
    const MeterRecords r = Decode({"P1,7.5,,,20240131,0800", "P1,12,,,20240131,0800"}, table);
    QLocale::setDefault(QLocale::c());
    ASSERT_EQ(r.iInsulinLast, 1);
    EXPECT_EQ(r.insulin[0].I1, 0); // "7.5" is no number where the decimal separator is ","
    EXPECT_EQ(r.insulin[1].I1, 12);
}

TEST(MarkerDecoderTest, LinesThatMakeNoRecord) {
    MarkerTable table = AllKinds();
    table[2].dataType = 7; // P3 mapped to nothing
    const MeterRecords r = Decode(
        {
            "P3,10,,,20240131,0800", // data type 7: ignored
            "P5,10,,,20240131,0800", // marker number outside 1..4
            "P0,10,,,20240131,0800",
            "PX,10,,,20240131,0800",
            ",10,,,20240131,0800",
            "P1,10,,,00000000,0800", // undated: counted
            "P2,10,,,00000000,0800",
            "P1,10",                 // no date field: not an entry
            "P1,10,,,,0800",
        },
        table);
    EXPECT_EQ(r.iInsulinLast, -1);
    EXPECT_EQ(r.iIntakesLast, -1);
    EXPECT_EQ(r.iExerciseLast, -1);
    EXPECT_EQ(r.iMedicinesLast, -1);
    EXPECT_TRUE(r.insulin.empty());
    EXPECT_TRUE(r.exercise.empty());
    EXPECT_EQ(r.iNoDateCount, 2);
}

TEST(MarkerDecoderTest, MissingNumbersMakeEveryMarkerInsulinOfTypeZero) {
    MarkerTable table; // no data type and no insulin type stored
    const MeterRecords r = Decode({"P4,10,,,20240131,0800", "P2,20,,,20240131,0800"}, table);
    ASSERT_EQ(r.iInsulinLast, 1);
    EXPECT_NEAR(r.insulin[0].I1, 1, 1e-12);
    EXPECT_NEAR(r.insulin[0].I2, 9, 1e-12);
    EXPECT_NEAR(r.insulin[1].I1, 2, 1e-12);
    EXPECT_EQ(r.insulin[1].TYPE, QString());
}

} // namespace
} // namespace bdlogic
