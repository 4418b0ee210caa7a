// The import file's date convention: a day count since 30 December 1899 whose fraction is the time of day; 0
// means no date. The host accepts the years 100 to 9999.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace bdlogic {

// The whole day count of a calendar date; nothing for a date that does not exist (month 13, 30 February) or
// lies outside the years 100..9999.
std::optional<double> OleDate(int year, int month, int day);

// The fraction of a day for hh:nn:ss; nothing outside 00:00:00..23:59:59.
std::optional<double> OleTime(int hour, int minute, int second = 0);

// Date and time of day together.
std::optional<double> OleDateTime(int year, int month, int day, int hour, int minute);

// The local date and time of a moment, to the second (milliseconds are dropped).
std::optional<double> OleFromDateTime(const QDateTime& moment);

// "ddmmyyyy" and "hhnn" of a day count. The date is the whole part and the time of day the fraction's
// absolute value, so -1.25 is 29 December 1899, 06:00. The time is rounded to the nearest second first, so a
// time held as a binary fraction (07:45 is 0.3229166...) never loses its minute. Nothing for a value that is
// not a number or lies outside the years 100..9999.
std::optional<QString> FormatDdMmYyyy(double dayCount);
std::optional<QString> FormatHhNn(double dayCount);

} // namespace bdlogic
