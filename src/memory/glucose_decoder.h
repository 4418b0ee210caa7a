// Glucose memory lines into glucose records: "Glu" (blood) and "Cntl" (control solution) readings.
#pragma once

#include "importfile/type_defs.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace bdlogic {

struct GlucoseDecoding {
    std::int16_t importId = 0;         // the model code, stored in every record
    QString markerComment;             // comment of readings with the meter's asterisk mark
    std::optional<QString> rangeComment; // comment of "LO" and "HI" readings; none without a language library
};

// Decodes every "Glu" and "Cntl" line of the glucose text into records.glucose, from index 0 (iGlucoseLast and
// iGlucoseLastRead end at the last record, -1 for none). Undated lines raise iNoDateCount. A field that does not
// read leaves the record's field 0; the line is still imported.
void DecodeGlucose(const QString& text, const GlucoseDecoding& how, MeterRecords& records);

} // namespace bdlogic
