#include "memory/glucose_decoder.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

constexpr double kJan31_2024 = 45322; // days since 30 December 1899
constexpr double k0745 = (7 * 60 + 45) / 1440.0;

QString Memory(const QStringList& lines) {
    // As the series returns it: the lines, then the check line and the end mark of the block.
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n3F\r\n]\r\n");
}

GlucoseDecoding Decoding() {
    GlucoseDecoding how;
    how.importId = 64;
    how.markerComment = QStringLiteral("star");
    how.rangeComment = QStringLiteral("out of range");
    return how;
}

class GlucoseDecoderTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    MeterRecords Decode(const QStringList& lines, const GlucoseDecoding& how = Decoding()) {
        MeterRecords records;
        records.glucose.resize(501);
        DecodeGlucose(Memory(lines), how, records);
        return records;
    }
};

struct ReadingCase {
    const char* name;
    const char* line;
    std::int16_t bg;
    const char* comment;
    bool control;
    MeterLimit limit; // as the meter showed it, kept beside the record
    bool mmol;
};

TEST_F(GlucoseDecoderTest, ReadingValuesAndComments) {
    using L = MeterLimit;
    const ReadingCase cases[] = {
        {"leading blank", "Glu, 95,mg/dL,0,20240131,0745", 95, "", false, L::None, false},
        {"low", "Glu,LO,mg/dL,0,20240131,0745", 20, "out of range", false, L::Lo, false},
        {"high", "Glu,HI,mg/dL,0,20240131,0745", 600, "out of range", false, L::Hi, false},
        {"low with asterisk", "Glu,LO,mg/dL,1,20240131,0745", 20, "star", false, L::Lo, false},
        {"high with asterisk", "Glu,HI,mg/dL,1,20240131,0745", 600, "star", false, L::Hi, false},
        {"asterisk", "Glu,120,mg/dL,1,20240131,0745", 120, "star", false, L::None, false},
        {"lower-case lo is a value", "Glu,lo,mg/dL,0,20240131,0745", 0, "", false, L::None, false},
        {"mmol/L", "Glu,5.5,mmol/L,0,20240131,0745", 99, "", false, L::None, true},
        {"LO before unit", "Glu,LO,mmol/L,0,20240131,0745", 20, "out of range", false, L::Lo, true},
        {"control", "Cntl,110,mg/dL,0,20240131,0745", 110, "", true, L::None, false},
        {"control with asterisk", "Cntl,110,mg/dL,2,20240131,0745", 110, "star", true, L::None, false},
        {"value no number", "Glu,ABC,mg/dL,0,20240131,0745", 0, "", false, L::None, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeterRecords r = Decode({QString::fromLatin1(c.line)});
        ASSERT_EQ(r.iGlucoseLast, 0);
        ASSERT_EQ(r.glucose.size(), 1u);
        const GlucoseRecord& g = r.glucose[0];
        EXPECT_EQ(g.BG, c.bg);
        EXPECT_EQ(g.COMMENT, QString::fromLatin1(c.comment));
        EXPECT_EQ(g.CONTROL, c.control ? kTrue : kFalse);
        EXPECT_EQ(g.SKIP, c.control ? kTrue : kFalse);
        EXPECT_EQ(g.IMPORT_ID, 64);
        EXPECT_EQ(g.meterLimit, c.limit);
        EXPECT_EQ(g.meterMmol, c.mmol);
        EXPECT_EQ(g.DATE, kJan31_2024);
        EXPECT_DOUBLE_EQ(g.TIME, k0745);
    }
}

TEST_F(GlucoseDecoderTest, MmolUnderCommaDecimalLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const MeterRecords r = Decode({"Glu,5.5,mmol/L,0,20240131,0745", "Glu, 7.8,mmol/L,0,20240131,0745",
                                   "Glu,123,mg/dL,0,20240131,0745"});
    ASSERT_EQ(r.iGlucoseLast, 2);
    EXPECT_EQ(r.glucose[0].BG, 99);
    EXPECT_EQ(r.glucose[1].BG, 140); // 7.8 * 18.016 = 140.52
    EXPECT_EQ(r.glucose[2].BG, 123);
    EXPECT_EQ(r.glucose[2].DATE, kJan31_2024);
}

struct DateCase {
    const char* name;
    const char* date;
    const char* time;
    double wantDate;
    double wantTime;
};

TEST_F(GlucoseDecoderTest, BadDatesAndTimesStillGiveTheReading) {
    const DateCase cases[] = {
        {"month 13", "20241301", "0745", 0, k0745},
        {"30 February", "20240230", "0745", 0, k0745},
        {"29 February of a leap year", "20240229", "0000", 45351, 0},
        {"empty time", "20240131", "", kJan31_2024, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MeterRecords r =
            Decode({QStringLiteral("Glu,95,mg/dL,0,%1,%2").arg(QLatin1String(c.date), QLatin1String(c.time))});
        ASSERT_EQ(r.iGlucoseLast, 0);
        EXPECT_EQ(r.glucose[0].DATE, c.wantDate);
        EXPECT_DOUBLE_EQ(r.glucose[0].TIME, c.wantTime);
        EXPECT_EQ(r.glucose[0].BG, 95);
    }
}

TEST_F(GlucoseDecoderTest, OnlyReadingLinesBecomeRecordsAndUndatedOnesAreCounted) {
    const MeterRecords r = Decode({
        "Glu,95,mg/dL,0,20240131,0745",
        "Glu,96,mg/dL,0,00000000,0745", // undated: counted, dropped
        "glu,97,mg/dL,0,20240131,0745", // not a reading kind
        "P1,5,,,20240131,0800",         // marker line in the wrong memory
        "Cntl,98,mg/dL,0,00000000,0000",
        "",
        "Glu,99",                       // missing fields: a record without date
    });
    ASSERT_EQ(r.iGlucoseLast, 1);
    EXPECT_EQ(r.iGlucoseLastRead, 1);
    EXPECT_EQ(r.iNoDateCount, 2);
    ASSERT_EQ(r.glucose.size(), 2u);
    EXPECT_EQ(r.glucose[0].BG, 95);
    EXPECT_EQ(r.glucose[1].BG, 99);
    EXPECT_EQ(r.glucose[1].DATE, 0);
}

} // namespace
} // namespace bdlogic
