#include "memory/glucose_decoder.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <tuple>

namespace bdlogic {
namespace {

constexpr double kJan31 = 45322; // 31 January 2024 in days since 30 December 1899
constexpr double k0745 = (7 * 60 + 45) / 1440.0;

MeterRecords Decode(const QStringList& lines) {
    GlucoseDecoding how;
    how.importId = 64;
    how.markerComment = QStringLiteral("star");
    how.rangeComment = QStringLiteral("out of range");
    MeterRecords records;
    records.glucose.resize(501);
    // As the series returns it: the lines, then the block's check line and end mark.
    DecodeGlucose(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n3F\r\n]\r\n"), how, records);
    return records;
}

TEST(DecodeGlucose, OneRecordPerReading) {
    using L = MeterLimit;
    const struct {
        const char* line;
        bool comma; // the system's decimal separator is ","
        std::int16_t bg;
        const char* comment;
        bool control; // CONTROL and SKIP
        L limit;      // as the meter showed it, kept beside the record
        bool mmol;
        double date, time;
    } rows[] = {
        {"Glu, 95,mg/dL,0,20240131,0745", false, 95, "", false, L::None, false, kJan31, k0745},
        {"Glu,1 5,mg/dL,0,20240131,0745", false, 105, "", false, L::None, false, kJan31, k0745}, // each blank a 0
        {"Glu,LO,mg/dL,0,20240131,0745", false, 20, "out of range", false, L::Lo, false, kJan31, k0745},
        {"Glu,HI,mg/dL,0,20240131,0745", false, 600, "out of range", false, L::Hi, false, kJan31, k0745},
        {"Glu,LO,mg/dL,1,20240131,0745", false, 20, "star", false, L::Lo, false, kJan31, k0745},
        {"Glu,120,mg/dL,1,20240131,0745", false, 120, "star", false, L::None, false, kJan31, k0745},
        {"Glu,lo,mg/dL,0,20240131,0745", false, 0, "", false, L::None, false, kJan31, k0745}, // not a number
        {"Glu,5.5,mmol/L,0,20240131,0745", false, 99, "", false, L::None, true, kJan31, k0745},
        {"Glu,HI,mmol/L,0,20240131,0745", false, 600, "out of range", false, L::Hi, true, kJan31, k0745},
        {"Glu,5.5,mmol/L,0,20240131,0745", true, 99, "", false, L::None, true, kJan31, k0745},
        {"Glu, 7.8,mmol/L,0,20240131,0745", true, 140, "", false, L::None, true, kJan31, k0745}, // 140.52
        {"Cntl,110,mg/dL,0,20240131,0745", false, 110, "", true, L::None, false, kJan31, k0745},
        {"Cntl,110,mg/dL,2,20240131,0745", false, 110, "star", true, L::None, false, kJan31, k0745},
        // A date or time that cannot be formed stays 0; the reading is still imported.
        {"Glu,95,mg/dL,0,20241301,0745", false, 95, "", false, L::None, false, 0, k0745},
        {"Glu,95,mg/dL,0,20240230,0745", false, 95, "", false, L::None, false, 0, k0745},
        {"Glu,95,mg/dL,0,20240229,0000", false, 95, "", false, L::None, false, 45351, 0},
        {"Glu,95,mg/dL,0,20240131,", false, 95, "", false, L::None, false, kJan31, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.line) + (row.comma ? " with a decimal comma" : ""));
        QLocale::setDefault(row.comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        const MeterRecords r = Decode({QString::fromLatin1(row.line)});
        QLocale::setDefault(QLocale::c());
        ASSERT_EQ(r.iGlucoseLast, 0);
        ASSERT_EQ(r.glucose.size(), 1u);
        const GlucoseRecord& g = r.glucose[0];
        const std::int16_t control = row.control ? kTrue : kFalse;
        EXPECT_EQ(std::tuple(g.BG, g.COMMENT.toStdString(), g.CONTROL, g.SKIP, g.meterLimit, g.meterMmol, g.DATE),
                  std::tuple(row.bg, std::string(row.comment), control, control, row.limit, row.mmol, row.date));
        EXPECT_DOUBLE_EQ(g.TIME, row.time);
    }
}

TEST(DecodeGlucose, OnlyReadingLinesBecomeRecordsAndUndatedOnesAreCounted) {
    // Undated readings are counted and dropped, other lines make nothing, missing fields make a record without date.
    const MeterRecords r = Decode({"Glu,95,mg/dL,0,20240131,0745", "Glu,96,mg/dL,0,00000000,0745",
                                   "glu,97,mg/dL,0,20240131,0745", "P1,5,,,20240131,0800",
                                   "Cntl,98,mg/dL,0,00000000,0000", "", "Glu,99"});
    ASSERT_EQ(r.glucose.size(), 2u);
    EXPECT_EQ(std::tuple(r.iGlucoseLast, r.iGlucoseLastRead, r.iNoDateCount), std::tuple(1, 1, 2));
    EXPECT_EQ(std::tuple(r.glucose[0].BG, r.glucose[1].BG, r.glucose[1].DATE), std::tuple(95, 99, 0.0));
}

} // namespace
} // namespace bdlogic
