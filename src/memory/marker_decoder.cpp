#include "marker_decoder.h"

#include "meter_line.h"
#include "startup/common_code.h"

#include <array>

namespace bdlogic {

namespace {

template <class Record>
Record* StartRecord(std::vector<Record>& records, int& last, const FieldSplitter& f) {
    Record* r = AppendRecord(records, last);
    if (!r) return nullptr;
    if (const auto date = MeterDate(f.field(5))) r->DATE = *date;
    if (const auto time = MeterTime(f.field(6))) r->TIME = *time;
    return r;
}

void DecodeLine(const FieldSplitter& f, const MarkerTable& table, std::int16_t importId, MeterRecords& records) {
    if (f.field(5).isEmpty()) return; // the check line and the end mark
    if (f.field(5) == kNoDateField) {
        CountUndated(records.iNoDateCount);
        return;
    }
    const QString name = f.field(1);
    const auto number = name.isEmpty() ? std::nullopt : ToInt16(name.right(1));
    if (!number || *number < 1 || *number > 4) return;
    const MarkerEntry& marker = table[static_cast<std::size_t>(*number - 1)];
    const QString value = MeterValueText(f.field(2));

    switch (marker.dataType.value_or(kMarkerInsulin)) {
    case kMarkerInsulin:
        if (InsulinRecord* r = StartRecord(records.insulin, records.iInsulinLast, f)) {
            // A dose that does not read leaves I1 and I2 at 0; the type still marks the record as rapid.
            const InsulinSplit split = SplitInsulin(marker.insulinType.value_or(0), ToDouble(value).value_or(0.0));
            r->I1 = split.i1;
            r->I2 = split.i2;
            if (split.rapid) r->RAPID = kTrue;
            r->TYPE = marker.description;
            r->IMPORT_ID = importId;
        }
        break;
    case kMarkerIntakes:
        if (IntakeRecord* r = StartRecord(records.intakes, records.iIntakesLast, f)) {
            if (const auto n = ToInt16(value)) r->BU = *n;
            r->DESC = marker.description;
            r->IMPORT_ID = importId;
        }
        break;
    case kMarkerExercise:
        if (ExerciseRecord* r = StartRecord(records.exercise, records.iExerciseLast, f)) {
            if (const auto n = ToInt16(value)) r->MMM = *n;
            r->DESC = marker.description;
            r->IMPORT_ID = importId;
        }
        break;
    case kMarkerMedicines:
        if (MedicineRecord* r = StartRecord(records.medicines, records.iMedicinesLast, f)) {
            if (const auto n = ToInt16(value)) r->NNN = *n;
            r->DESC = marker.description;
            r->IMPORT_ID = importId;
        }
        break;
    default:
        break; // a marker the user mapped to nothing
    }
}

} // namespace

InsulinSplit SplitInsulin(std::int16_t type, double dose) {
    // Fixed mixtures: type t gives (t + 1) tenths to I1 and the rest to I2.
    static constexpr std::array<double, 9> kFirst = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
    static constexpr std::array<double, 9> kSecond = {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1};
    if (type >= 0 && type <= 8) {
        const auto t = static_cast<std::size_t>(type);
        return {dose * kFirst[t], dose * kSecond[t], false};
    }
    switch (type) {
    case 9:
        return {dose, 0, false};
    case 10:
    case 11:
    case 12:
        return {0, dose, false};
    case 13:
        return {dose, 0, true};
    default:
        return {};
    }
}

void DecodeMarkers(const QString& text, const MarkerTable& table, std::int16_t importId, MeterRecords& records) {
    records.iInsulinLast = -1;
    records.iExerciseLast = -1;
    records.iIntakesLast = -1;
    records.iMedicinesLast = -1;
    ForEachMeterLine(text, [&](const FieldSplitter& fields) { DecodeLine(fields, table, importId, records); });
}

} // namespace bdlogic
