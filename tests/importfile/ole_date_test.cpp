// Day counts: what the readings and import files do not already show, the limits and the fraction's precision.
#include "importfile/ole_date.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace bdlogic {
namespace {

TEST(OleDate, CountsDaysFrom30December1899AndRefusesDatesThatDoNotExist) {
    const struct {
        int y, m, d;
        double days;
    } rows[] = {{1899, 12, 30, 0}, {1900, 3, 1, 61}, {100, 1, 1, -657434}, {9999, 12, 31, 2958465}};
    for (const auto& r : rows) EXPECT_EQ(OleDate(r.y, r.m, r.d), r.days) << r.y << "-" << r.m << "-" << r.d;
    for (const auto& [y, m, d] : {std::tuple{2023, 2, 29}, {2026, 4, 31}, {99, 12, 31}, {10000, 1, 1}})
        EXPECT_FALSE(OleDate(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_FALSE(OleTime(24, 0, 0));
    EXPECT_FALSE(OleTime(0, 60, 0));
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

TEST(FormatDayCount, TakesTheWholePartAsDayAndTheFractionAsTimeAndNothingOutsideTheHostsYears) {
    const struct {
        double value;
        const char* date;
        const char* time;
    } rows[] = {
        {-1.25, "29121899", "0600"}, // the day before the epoch's, a quarter in
        {-0.5, "30121899", "1200"},
        {-657434.5, "01010100", "1200"},
        {45322.0 + 86399.6 / 86400, "31012024", "0000"}, // rounds up to the next midnight
        {2958465.5, "31129999", "1200"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FormatDdMmYyyy(r.value), QString::fromLatin1(r.date)) << r.value;
        EXPECT_EQ(FormatHhNn(r.value), QString::fromLatin1(r.time)) << r.value;
    }
    for (double v : {-657435.0, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(FormatDdMmYyyy(v)) << v;
        EXPECT_FALSE(FormatHhNn(v)) << v;
    }
}

TEST(OleFromDateTime, KeepsTheDateAndTheTimeToTheSecond) {
    const QDateTime moment(QDate(2026, 12, 3), QTime(23, 15, 7, 999));
    EXPECT_EQ(OleFromDateTime(moment), *OleDate(2026, 12, 3) + (23 * 3600 + 15 * 60 + 7) / 86400.0);
    EXPECT_FALSE(OleFromDateTime(QDateTime()));
}

} // namespace
} // namespace bdlogic
