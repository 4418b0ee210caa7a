#include "ole_date.h"

#include <cmath>

namespace bdlogic {

namespace {
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

QDate Epoch() {
    return QDate(1899, 12, 30);
}

// The day of a day count: its whole part, rounded toward zero (-1.25 is day -1), when it falls inside the
// host's years.
std::optional<long long> WholeDays(double dayCount) {
    if (!std::isfinite(dayCount)) return std::nullopt;
    const double days = std::trunc(dayCount);
    static const double first = static_cast<double>(Epoch().daysTo(QDate(kFirstYear, 1, 1)));
    static const double last = static_cast<double>(Epoch().daysTo(QDate(kLastYear, 12, 31)));
    if (days < first || days > last) return std::nullopt;
    return static_cast<long long>(days);
}

// Writes n (0 <= n < 10^width) as `width` decimal digits at `out`.
void PutDigits(QChar* out, int n, int width) {
    for (int i = width - 1; i >= 0; --i, n /= 10)
        out[i] = QChar(u'0' + n % 10);
}
} // namespace

std::optional<double> OleDate(int year, int month, int day) {
    if (year < kFirstYear || year > kLastYear) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return static_cast<double>(Epoch().daysTo(date));
}

std::optional<double> OleTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    return static_cast<double>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
}

std::optional<double> OleDateTime(int year, int month, int day, int hour, int minute) {
    const auto date = OleDate(year, month, day);
    const auto time = OleTime(hour, minute);
    if (!date || !time) return std::nullopt;
    return *date + *time;
}

std::optional<double> OleFromDateTime(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    const auto day = OleDate(date.year(), date.month(), date.day());
    const auto fraction = OleTime(time.hour(), time.minute(), time.second());
    if (!day || !fraction) return std::nullopt;
    return *day + *fraction;
}

std::optional<QString> FormatDdMmYyyy(double dayCount) {
    const auto days = WholeDays(dayCount);
    if (!days) return std::nullopt;
    int year = 0, month = 0, day = 0;
    Epoch().addDays(*days).getDate(&year, &month, &day);
    QString text(8, Qt::Uninitialized);
    PutDigits(text.data(), day, 2);
    PutDigits(text.data() + 2, month, 2);
    PutDigits(text.data() + 4, year, 4);
    return text;
}

std::optional<QString> FormatHhNn(double dayCount) {
    if (!WholeDays(dayCount)) return std::nullopt;
    // Before 30 December 1899 the fraction counts forward from midnight as well: -1.25 is 06:00.
    const double fraction = std::fabs(dayCount - std::trunc(dayCount));
    // A fraction that rounds up to a whole day is midnight.
    const long long seconds = std::llround(fraction * kSecondsPerDay) % kSecondsPerDay;
    QString text(4, Qt::Uninitialized);
    PutDigits(text.data(), static_cast<int>(seconds / 3600), 2);
    PutDigits(text.data() + 2, static_cast<int>(seconds % 3600 / 60), 2);
    return text;
}

} // namespace bdlogic
