// The rules shared by the glucose and marker lines of the meter's memory: the memory text is split into lines at
// CR LF and each line into fields at ","; dates come as YYYYMMDD, times as HHMM, values padded with blanks.
#pragma once

#include "startup/field_splitter.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace bdlogic {

// The date field of an entry the meter has no date for: the line is dropped and counted.
inline constexpr QLatin1String kNoDateField("00000000");

// DATE of a YYYYMMDD field (year = first four characters, month = characters 5 and 6, day = last two); nothing
// when they do not form a date.
std::optional<double> MeterDate(const QString& field);
// TIME of an HHMM field (hour = first two characters, minute = last two); nothing when they do not form a time.
std::optional<double> MeterTime(const QString& field);
// The value field with every blank read as "0": the meter pads small values with leading blanks.
QString MeterValueText(const QString& field);

// Calls fn(fields) for every line of a memory text, fields numbered from 1.
template <class Fn>
void ForEachMeterLine(const QString& text, Fn&& fn) {
    FieldSplitter lines(QStringLiteral("\r\n"));
    lines.setText(text);
    FieldSplitter fields(QStringLiteral(","));
    for (qsizetype i = 1; i <= lines.count(); ++i) {
        fields.setText(lines.field(i));
        fn(static_cast<const FieldSplitter&>(fields));
    }
}

// Adds one zero record after index `last` and shrinks or grows the array to end there, as the records below it are
// kept. The counters are 16-bit: a record past index 32767 cannot be counted, so its line is dropped (nullptr).
template <class Record>
Record* AppendRecord(std::vector<Record>& records, int& last) {
    if (last >= std::numeric_limits<std::int16_t>::max()) return nullptr;
    ++last;
    const auto size = static_cast<std::size_t>(last) + 1;
    records.resize(size);
    records[size - 1] = Record{};
    return &records[size - 1];
}

// Counts one undated line; the 16-bit count stops at its top.
inline void CountUndated(int& count) {
    if (count < std::numeric_limits<std::int16_t>::max()) ++count;
}

} // namespace bdlogic
