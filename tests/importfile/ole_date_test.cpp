// Day counts: what the import files do not already show, the limits and the fraction's precision.
#include "importfile/entry_lines.h"
#include "importfile/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // the record's other fields stay empty

namespace bdlogic {
namespace {

TEST(OleDate, CountsDaysFrom30December1899AndRefusesDatesThatDoNotExist) {
    for (const auto& [y, m, d, days] :
         {std::tuple{1899, 12, 30, 0.0}, {1900, 3, 1, 61.0}, {100, 1, 1, -657434.0}, {9999, 12, 31, 2958465.0}})
        EXPECT_EQ(OleDate(y, m, d), days) << y << "-" << m << "-" << d;
    for (const auto& [y, m, d] : {std::tuple{2023, 2, 29}, {2026, 4, 31}, {99, 12, 31}, {10000, 1, 1}})
        EXPECT_FALSE(OleDate(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_FALSE(OleTime(24, 0, 0));
    EXPECT_FALSE(OleTime(0, 60, 0));
}

TEST(FormatHhNn, EveryMinuteOfTheDayPrintsItself) {
    const double day = *OleDate(2024, 1, 31);
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const double time = *OleTime(minute / 60, minute % 60);
        const QString hhnn = QString::asprintf("%02d%02d", minute / 60, minute % 60);
        ASSERT_EQ(FormatHhNn(time), hhnn);
        ASSERT_EQ(FormatHhNn(day + time), hhnn); // the sum loses bits of the fraction
        ASSERT_EQ(FormatDdMmYyyy(day + time), QStringLiteral("31012024"));
    }
}

TEST(FormatDayCount, TakesTheWholePartAsDayAndTheFractionAsTimeAndNothingOutsideTheHostsYears) {
    const std::tuple<double, const char*, const char*> rows[] = {
        {-1.25, "29121899", "0600"}, // the day before the epoch's, a quarter in
        {-0.5, "30121899", "1200"},
        {-657434.5, "01010100", "1200"},
        {45322.0 + 86399.6 / 86400, "31012024", "0000"}, // rounds up to the next midnight
        {2958465.5, "31129999", "1200"},
    };
    for (const auto& [value, date, time] : rows) {
        EXPECT_EQ(FormatDdMmYyyy(value), QString::fromLatin1(date)) << value;
        EXPECT_EQ(FormatHhNn(value), QString::fromLatin1(time)) << value;
    }
    for (double v : {-657435.0, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(FormatDdMmYyyy(v)) << v;
        EXPECT_FALSE(FormatHhNn(v)) << v;
        EXPECT_EQ(MedicineLine({.DATE = v, .TIME = v, .NNN = 1}), QStringLiteral("||1.0")) << v;
    }
}

} // namespace
} // namespace bdlogic
