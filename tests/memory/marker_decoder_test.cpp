#include "memory/marker_decoder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace bdlogic {
namespace {

MarkerEntry Entry(std::int16_t dataType, std::int16_t insulinType, const char* description) {
    return {dataType, insulinType, QString::fromLatin1(description)};
}

// P1 insulin of type 2 (30/70), P2 intakes, P3 exercise, P4 medicines.
const MarkerTable kAllKinds{Entry(kMarkerInsulin, 2, "Mix"), Entry(kMarkerIntakes, 0, "Bread"),
                            Entry(kMarkerExercise, 0, "Walk"), Entry(kMarkerMedicines, 0, "Aspirin")};

MeterRecords Decode(const QStringList& lines, const MarkerTable& table = kAllKinds) {
    MeterRecords records;
    DecodeMarkers(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n5E\r\n]\r\n"), table, 64, records);
    return records;
}

TEST(DecodeMarkers, EachDataTypeFillsItsArray) {
    const MeterRecords r = Decode({"P1,10,,,20240131,0800", "P2, 12,,,20240131,0800", "P3,30,,,20240131,0800",
                                   "P4,2,,,20240131,0800", "P2,3.5,,,20240131,0800"});
    ASSERT_EQ(std::tuple(r.iInsulinLast, r.iIntakesLast, r.iExerciseLast, r.iMedicinesLast), std::tuple(0, 1, 0, 0));
    const InsulinRecord& insulin = r.insulin[0];
    EXPECT_DOUBLE_EQ(insulin.I1, 3);
    EXPECT_DOUBLE_EQ(insulin.I2, 7);
    EXPECT_EQ(std::tuple(insulin.TYPE.toStdString(), insulin.IMPORT_ID, insulin.DATE), std::tuple("Mix", 64, 45322.0));
    EXPECT_DOUBLE_EQ(insulin.TIME, 8 / 24.0);
    // Numbers of the other kinds are read as 16-bit integers: halves go to the even neighbour.
    EXPECT_EQ(std::tuple(r.intakes[0].BU, r.intakes[1].BU, r.exercise[0].MMM, r.medicines[0].NNN),
              std::tuple(12, 4, 30, 2));
    EXPECT_EQ(std::tuple(r.intakes[0].DESC.toStdString(), r.exercise[0].DESC.toStdString(),
                         r.medicines[0].DESC.toStdString()),
              std::tuple("Bread", "Walk", "Aspirin"));
}

TEST(DecodeMarkers, InsulinSplitTable) {
    const struct {
        std::int16_t type;
        double i1, i2;
        bool rapid;
    } rows[] = {
        {0, 1, 9, false},   {1, 2, 8, false},  {2, 3, 7, false},   {3, 4, 6, false},
        {4, 5, 5, false},   {5, 6, 4, false},  {6, 7, 3, false},   {7, 8, 2, false},
        {8, 9, 1, false},   {9, 10, 0, false}, {10, 0, 10, false}, {11, 0, 10, false},
        {12, 0, 10, false}, {13, 10, 0, true}, {14, 0, 0, false},  {-1, 0, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        const InsulinSplit s = SplitInsulin(row.type, 10);
        EXPECT_NEAR(s.i1, row.i1, 1e-12);
        EXPECT_NEAR(s.i2, row.i2, 1e-12);
        EXPECT_EQ(s.rapid, row.rapid);
    }
}

TEST(DecodeMarkers, LinesThatMakeNoRecord) {
    MarkerTable table = kAllKinds;
    table[2].dataType = 7; // P3 mapped to nothing
    // P3; marker numbers outside 1..4; two undated lines (counted); lines without a date field.
    const MeterRecords r = Decode({"P3,10,,,20240131,0800", "P5,10,,,20240131,0800", "P0,10,,,20240131,0800",
                                   "PX,10,,,20240131,0800", ",10,,,20240131,0800", "P1,10,,,00000000,0800",
                                   "P2,10,,,00000000,0800", "P1,10", "P1,10,,,,0800"},
                                  table);
    EXPECT_EQ(std::tuple(r.iInsulinLast, r.iIntakesLast, r.iExerciseLast, r.iMedicinesLast),
              std::tuple(-1, -1, -1, -1));
    EXPECT_TRUE(r.insulin.empty() && r.exercise.empty());
    EXPECT_EQ(r.iNoDateCount, 2);
}

} // namespace
} // namespace bdlogic
