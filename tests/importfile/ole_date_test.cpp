#include "importfile/ole_date.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace bdlogic {
namespace {

TEST(OleDate, CountsDaysFrom30December1899) {
    const struct {
        int y, m, d;
        double days;
    } rows[] = {
        {1899, 12, 30, 0},    {1899, 12, 31, 1},    {1900, 1, 1, 2},
        {1900, 3, 1, 61},     {1970, 1, 1, 25569},  {2024, 1, 31, 45322},
        {2024, 2, 29, 45351}, {100, 1, 1, -657434}, {9999, 12, 31, 2958465},
    };
    for (const auto& r : rows)
        EXPECT_EQ(OleDate(r.y, r.m, r.d), r.days) << r.y << "-" << r.m << "-" << r.d;
}

TEST(OleDate, GivesNothingForDatesThatDoNotExist) {
    const struct {
        int y, m, d;
    } rows[] = {{2026, 13, 1}, {2026, 2, 30}, {2023, 2, 29}, {2026, 0, 10}, {2026, 1, 0},
                {2026, 4, 31}, {99, 12, 31},  {10000, 1, 1}, {0, 1, 1}};
    for (const auto& r : rows)
        EXPECT_FALSE(OleDate(r.y, r.m, r.d)) << r.y << "-" << r.m << "-" << r.d;
}

TEST(OleTime, AcceptsOnlyTimesOfOneDay) {
    EXPECT_EQ(OleTime(12, 0), 0.5);
    EXPECT_EQ(OleTime(6, 0, 0), 0.25);
    EXPECT_EQ(OleTime(0, 0), 0.0);
    const struct {
        int h, n, s;
    } bad[] = {{24, 0, 0}, {0, 60, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, 60}, {0, 0, -1}};
    for (const auto& t : bad)
        EXPECT_FALSE(OleTime(t.h, t.n, t.s)) << t.h << ":" << t.n << ":" << t.s;
    EXPECT_FALSE(OleDateTime(2026, 2, 30, 8, 0));
    EXPECT_FALSE(OleDateTime(2026, 2, 3, 8, 60));
    EXPECT_EQ(OleDateTime(2024, 1, 31, 18, 0), 45322.75);
}

TEST(FormatHhNn, EveryMinuteOfTheDayPrintsItself) {
    const double day = *OleDate(2024, 1, 31);
    for (int h = 0; h < 24; ++h) {
        for (int n = 0; n < 60; ++n) {
            const QString expected =
                QStringLiteral("%1%2").arg(h, 2, 10, QLatin1Char('0')).arg(n, 2, 10, QLatin1Char('0'));
            ASSERT_EQ(FormatHhNn(*OleTime(h, n)), expected);
            ASSERT_EQ(FormatHhNn(day + *OleTime(h, n)), expected); // the sum loses bits of the fraction
            ASSERT_EQ(FormatDdMmYyyy(day + *OleTime(h, n)), QStringLiteral("31012024"));
        }
    }
}

TEST(FormatDayCount, TakesTheDayBelowAndTheFractionAbove) {
    const struct {
        double value;
        const char* date;
        const char* time;
    } rows[] = {
        {0, "30121899", "0000"},
        {45322.75, "31012024", "1800"},
        {-1.25, "28121899", "1800"}, // 28 December + 0.75
        {-0.5, "29121899", "1200"},
        {45322.0 + 86399.6 / 86400, "31012024", "0000"}, // rounds up to the next midnight
        {45322.0 + 59.6 / 86400, "31012024", "0001"},
        {-657434, "01010100", "0000"},
        {2958465.5, "31129999", "1200"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FormatDdMmYyyy(r.value), QString::fromLatin1(r.date)) << r.value;
        EXPECT_EQ(FormatHhNn(r.value), QString::fromLatin1(r.time)) << r.value;
    }
}

TEST(FormatDayCount, GivesNothingOutsideTheHostsYears) {
    for (double v : {-657434.5, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_FALSE(FormatDdMmYyyy(v)) << v;
        EXPECT_FALSE(FormatHhNn(v)) << v;
    }
}

TEST(OleFromDateTime, KeepsTheDateAndTheTimeToTheSecond) {
    const QDateTime moment(QDate(2026, 12, 3), QTime(23, 15, 7, 999));
    const double expected = *OleDate(2026, 12, 3) + (23 * 3600 + 15 * 60 + 7) / 86400.0;
    EXPECT_EQ(OleFromDateTime(moment), expected);
    EXPECT_FALSE(OleFromDateTime(QDateTime()));
}

} // namespace
} // namespace bdlogic
