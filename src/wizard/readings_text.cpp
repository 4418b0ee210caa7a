#include "readings_text.h"

#include <QRegularExpression>

#include <cmath>

namespace bdlogic {

namespace {

constexpr qint64 kMinutesPerDay = 24 * 60;

QDate DayOf(qint64 days) {
    return QDate(1899, 12, 30).addDays(days);
}

} // namespace

QString MinuteFormat(const QLocale& locale) {
    static const QRegularExpression seconds(QStringLiteral("[:.]s+(\\.z+)?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

QDateTime MomentOfDayCount(double when) {
    const auto day = static_cast<qint64>(std::floor(when));
    const qint64 minutes = std::llround((when - static_cast<double>(day)) * kMinutesPerDay);
    // As the meter's clock showed it: in UTC no local clock change can move the time of day.
    return QDateTime(DayOf(day + minutes / kMinutesPerDay),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(minutes % kMinutesPerDay) * 60000),
                     Qt::UTC);
}

QString DayFormat(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    // The year with the separators around it; inside the date, one separator stays.
    static const QRegularExpression year(QStringLiteral("[^dM]*y+[^dM]*"));
    const QRegularExpressionMatch m = year.match(format);
    if (!m.hasMatch()) return format;
    const bool inside = m.capturedStart() > 0 && m.capturedEnd() < format.size();
    const QString kept = inside ? m.captured().left(m.captured().indexOf(u'y')) : QString();
    return format.left(m.capturedStart()) + kept + format.mid(m.capturedEnd());
}

QString MomentText(double when, const QLocale& locale) {
    const QDateTime moment = MomentOfDayCount(when);
    return locale.toString(moment.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(moment.time(), MinuteFormat(locale));
}

QString UnitText(GlucoseUnit unit) {
    return unit == GlucoseUnit::MmolL ? QStringLiteral("mmol/L") : QStringLiteral("mg/dl");
}

QString ValueText(const ShownReading& reading, GlucoseUnit unit, const QLocale& locale) {
    switch (reading.limit) {
    case MeterLimit::Lo:
        return QStringLiteral("LO");
    case MeterLimit::Hi:
        return QStringLiteral("HI");
    case MeterLimit::None:
        break;
    }
    const int decimals = unit == GlucoseUnit::MmolL ? 1 : 0;
    return locale.toString(reading.value, 'f', decimals) + u' ' + UnitText(unit);
}

std::optional<QString> ReadingsSummary(const DownloadReadings& readings, const Language* texts,
                                       const QLocale& locale) {
    if (readings.count() == 0) return std::nullopt;
    const QString firstDay = locale.toString(MomentOfDayCount(readings.first()).date(), QLocale::ShortFormat);
    const QString lastDay = locale.toString(MomentOfDayCount(readings.last()).date(), QLocale::ShortFormat);
    const QString days = firstDay == lastDay ? firstDay : firstDay + QStringLiteral(" – ") + lastDay;
    const QString count = locale.toString(readings.count());
    const QString mean = ValueText({0, readings.mean(), MeterLimit::None}, readings.unit(), locale);
    const auto span = loadres(texts, kSummarySpan, {days, count});
    const auto meanText = loadres(texts, kSummaryMean, {mean});
    return span.value_or(days + QStringLiteral(": ") + count) + QStringLiteral(", ") +
           meanText.value_or(mean);
}

} // namespace bdlogic
