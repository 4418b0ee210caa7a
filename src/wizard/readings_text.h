// The result page's readings in words and numbers: dates, times and values in the user's locale, and the
// one-line summary that batch mode prints instead of the chart.
#pragma once

#include "download_readings.h"
#include "startup/language.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace bdlogic {

// Language texts of the chart and the summary.
enum ReadingsTextId {
    kChartName = 7300,       // the chart's accessible name
    kMarkerKindFirst = 7301, // 7301..7304: insulin, meal, exercise, medicines (MarkerKind's order)
    kSummarySpan = 7305,     // %1 the days, %2 the number of readings
    kSummaryMean = 7306,     // %1 the mean with its unit
};

// The date and time of day a day count stands for, to the minute.
QDateTime MomentOfDayCount(double when);

// The locale's short date without the year ("dd.MM" for German), for the chart's time axis.
QString DayFormat(const QLocale& locale);

// The locale's short time of day without seconds.
QString MinuteFormat(const QLocale& locale);

// "31.01.24 07:45": the locale's short date and its time of day without seconds.
QString MomentText(double when, const QLocale& locale);

QString UnitText(GlucoseUnit unit);

// "99 mg/dl", "5,5 mmol/L"; "LO" and "HI" as the meter showed them.
QString ValueText(const ShownReading& reading, GlucoseUnit unit, const QLocale& locale);

// The span of the days, the number of readings and their mean in the meter's unit, with the captions the
// language library has; nothing when the download holds no reading.
std::optional<QString> ReadingsSummary(const DownloadReadings& readings, const Language* texts,
                                       const QLocale& locale);

} // namespace bdlogic
