// Meter lines decoded as a download decodes them; P1..P4 mean insulin, meal, exercise and medicines.
#pragma once

#include "memory/glucose_decoder.h"
#include "memory/marker_decoder.h"

#include <QRegularExpression>
#include <QStringList>

namespace bdlogic::test {

// The lines of both memories in one list: marker lines begin with "P", the glucose decoder passes them over.
inline MeterRecords DecodedRecords(const QStringList& lines) {
    MeterRecords records;
    records.glucose.resize(501); // as a download starts: empty slots are no readings
    records.insulin.resize(501);
    DecodeGlucose(lines.join(QStringLiteral("\r\n")), {}, records);
    MarkerTable table;
    for (std::int16_t k = 0; k < 4; ++k)
        table[static_cast<std::size_t>(k)].dataType = k;
    DecodeMarkers(lines.filter(QRegularExpression(QStringLiteral("^P"))).join(QStringLiteral("\r\n")), table,
                  64, records);
    return records;
}

} // namespace bdlogic::test
