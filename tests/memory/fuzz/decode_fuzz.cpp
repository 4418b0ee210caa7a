// libFuzzer target: bytes as the meter might send them, through the memory decoding.
//
// Input: byte 0 picks the locale (bit 0: comma decimal separator); bytes 1..8 are the marker table (data type
// and insulin type of P1..P4, any value); the rest is decoded as both memories and as the information block.
// Any broken invariant aborts.
#include "importfile/ole_date.h"
#include "importfile/type_defs.h"
#include "memory/glucose_decoder.h"
#include "memory/info_block.h"
#include "memory/marker_decoder.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace bdlogic;

void Require(bool ok) {
    if (!ok) std::abort();
}

template <class Record> void RequireArray(const std::vector<Record>& records, int last) {
    if (last >= 0) Require(records.size() == static_cast<std::size_t>(last) + 1);
    for (const Record& r : records) {
        Require(r.DATE == 0 || (r.DATE >= *OleDate(100, 1, 1) && r.DATE <= *OleDate(9999, 12, 31)));
        Require(r.TIME >= 0 && r.TIME < 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    QLocale::setDefault((data[0] & 1) ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    MarkerTable table;
    for (std::size_t k = 0; k < 4; ++k)
        table[k] = {static_cast<std::int8_t>(data[1 + 2 * k]), static_cast<std::int8_t>(data[2 + 2 * k]), {}};
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 9), static_cast<qsizetype>(size - 9));

    MeterRecords records;
    DecodeGlucose(text, {}, records);
    DecodeMarkers(text, table, 64, records);
    RequireArray(records.glucose, records.iGlucoseLast);
    Require(records.iGlucoseLastRead == records.iGlucoseLast);
    RequireArray(records.insulin, records.iInsulinLast);
    RequireArray(records.intakes, records.iIntakesLast);
    RequireArray(records.exercise, records.iExerciseLast);
    RequireArray(records.medicines, records.iMedicinesLast);
    for (const InsulinRecord& r : records.insulin) Require(std::isfinite(r.I1) && std::isfinite(r.I2));
    if (const auto id = MeterIdFromInfo(text)) Require(!id->contains(u'\r'));
    return 0;
}
