#include "glucose_decoder.h"

#include "meter_line.h"
#include "startup/common_code.h"

namespace bdlogic {

namespace {

// Readings outside the meter's range: below 20 mg/dl shows as "LO", above 600 as "HI".
constexpr std::int16_t kLoValue = 20;
constexpr std::int16_t kHiValue = 600;

std::optional<std::int16_t> MgdlOfMmol(const QString& value) {
    const auto mmol = ToDouble(ToLocalDecimal(value));
    if (!mmol) return std::nullopt;
    const auto mgdl = MmolToMgdl(*mmol);
    if (!mgdl) return std::nullopt;
    return ToInt16(*mgdl);
}

void DecodeLine(const FieldSplitter& f, const GlucoseDecoding& how, MeterRecords& records) {
    const QString kind = f.field(1);
    const bool control = kind == QLatin1String("Cntl");
    if (kind != QLatin1String("Glu") && !control) return;
    if (f.field(5) == kNoDateField) {
        CountUndated(records.iNoDateCount);
        return;
    }
    GlucoseRecord* r = AppendRecord(records.glucose, records.iGlucoseLast);
    if (!r) return;
    if (const auto date = MeterDate(f.field(5))) r->DATE = *date;
    if (const auto time = MeterTime(f.field(6))) r->TIME = *time;

    const QString value = MeterValueText(f.field(2));
    r->meterMmol = f.field(3) == QLatin1String("mmol/L");
    if (value == QLatin1String("LO") || value == QLatin1String("HI")) {
        const bool lo = value == QLatin1String("LO");
        r->BG = lo ? kLoValue : kHiValue;
        r->meterLimit = lo ? MeterLimit::Lo : MeterLimit::Hi;
        if (how.rangeComment) r->COMMENT = *how.rangeComment;
    } else if (r->meterMmol) {
        if (const auto bg = MgdlOfMmol(value)) r->BG = *bg;
    } else if (const auto bg = ToInt16(value)) {
        r->BG = *bg;
    }
    r->IMPORT_ID = how.importId;
    if (control) {
        // Control-solution readings go to the diary, marked so that it leaves them out of its statistics.
        r->CONTROL = kTrue;
        r->SKIP = kTrue;
    }
    const auto flag = ToInt16(f.field(4));
    if (flag && *flag != 0) r->COMMENT = how.markerComment;
}

} // namespace

void DecodeGlucose(const QString& text, const GlucoseDecoding& how, MeterRecords& records) {
    records.iGlucoseLast = -1;
    ForEachMeterLine(text, [&](const FieldSplitter& fields) { DecodeLine(fields, how, records); });
    records.iGlucoseLastRead = records.iGlucoseLast;
}

} // namespace bdlogic
