// Marker memory lines (P1..P4) into insulin, intakes, exercise or medicines records, as the marker table maps them.
#pragma once

#include "importfile/type_defs.h"
#include "marker_settings.h"

#include <QString>

#include <cstdint>

namespace bdlogic {

struct InsulinSplit {
    double i1 = 0;
    double i2 = 0;
    bool rapid = false;
};
// How insulin type t divides a dose between I1 and I2 (types 0..8 mixtures, 9 all I1, 10..12 all I2, 13 all I1
// as rapid insulin, any other type nothing).
InsulinSplit SplitInsulin(std::int16_t type, double dose);

// Decodes every dated line of the marker text into the four marker arrays, each from index 0 (their counters end
// at the last record, -1 for none). Undated lines raise iNoDateCount; a marker number outside 1..4 or a data type
// outside 0..3 drops the line. A field that does not read leaves the record's field 0.
void DecodeMarkers(const QString& text, const MarkerTable& table, std::int16_t importId, MeterRecords& records);

} // namespace bdlogic
