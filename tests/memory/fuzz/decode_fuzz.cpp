// libFuzzer target: bytes as the meter might send them, through the answer check and the memory decoding.
//
// Input: byte 0 picks the locale (bit 0: comma decimal separator); bytes 1..8 are the marker table (data type and
// insulin type of P1..P4, any value); the rest is what came down the line. It is cut into answers at the end mark,
// each answer is checked as the block series checks it, and the accepted ones are decoded as both memories and as
// the information block. Any broken invariant aborts.
#include "importfile/ole_date.h"
#include "importfile/type_defs.h"
#include "memory/glucose_decoder.h"
#include "memory/info_block.h"
#include "memory/marker_decoder.h"
#include "meterlink/message_layer.h"

#include <QByteArray>
#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

using namespace bdlogic;

void Require(bool ok) {
    if (!ok) std::abort();
}

std::uint8_t Crc8Bitwise(const char* data, qsizetype size) {
    std::uint8_t crc = 0;
    for (qsizetype i = 0; i < size; ++i) {
        auto b = static_cast<std::uint8_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ b) & 1) != 0;
            crc = static_cast<std::uint8_t>(crc >> 1);
            if (mix) crc ^= 0x8C;
            b = static_cast<std::uint8_t>(b >> 1);
        }
    }
    return crc;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The check, computed a second way: bit by bit over the body, the two digits seven characters from the end.
bool ExpectedCheck(const QByteArray& answer) {
    if (answer.size() < 7) return false;
    const qsizetype at = answer.size() - 7;
    const int hi = HexDigit(answer[at]);
    const int lo = HexDigit(answer[at + 1]);
    if (hi < 0 || lo < 0) return false;
    return hi * 16 + lo == Crc8Bitwise(answer.constData(), at);
}

template <class Record>
void RequireArray(const std::vector<Record>& records, int last) {
    Require(last >= -1 && last <= std::numeric_limits<std::int16_t>::max());
    if (last >= 0) Require(records.size() == static_cast<std::size_t>(last) + 1);
    const double first = *OleDate(100, 1, 1);
    const double final = *OleDate(9999, 12, 31);
    for (const Record& r : records) {
        Require(r.DATE == 0 || (r.DATE >= first && r.DATE <= final));
        Require(r.TIME >= 0 && r.TIME < 1);
    }
}

void SetLocale(bool comma) {
    static int current = -1;
    if (current == static_cast<int>(comma)) return;
    current = comma;
    QLocale::setDefault(comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    SetLocale((data[0] & 1) != 0);
    MarkerTable table;
    for (std::size_t k = 0; k < 4; ++k) {
        table[k].dataType = static_cast<std::int8_t>(data[1 + 2 * k]);
        table[k].insulinType = static_cast<std::int8_t>(data[2 + 2 * k]);
        table[k].description = QStringLiteral("M%1").arg(k);
    }
    const QByteArray line(reinterpret_cast<const char*>(data + 9), static_cast<qsizetype>(size - 9));

    // As the block series frames it: each answer ends at the first end mark; accepted ones are joined.
    QByteArray accepted;
    qsizetype from = 0;
    while (from < line.size()) {
        const qsizetype mark = line.indexOf("]\r\n", from);
        const qsizetype end = mark < 0 ? line.size() : mark + 3;
        const QByteArray answer = line.mid(from, end - from);
        const bool ok = check_crc(answer);
        Require(ok == ExpectedCheck(answer));
        if (ok) accepted += answer;
        from = end;
    }
    // Decode the raw bytes too: the fuzzer rarely gets a check right, and the decoders must stand anything.
    for (const QByteArray& memory : {accepted, line}) {
        const QString text = QString::fromLatin1(memory);
        MeterRecords records;
        GlucoseDecoding how;
        how.importId = 64;
        how.markerComment = QStringLiteral("*");
        how.rangeComment = QStringLiteral("range");
        DecodeGlucose(text, how, records);
        DecodeMarkers(text, table, 64, records);
        RequireArray(records.glucose, records.iGlucoseLast);
        Require(records.iGlucoseLastRead == records.iGlucoseLast);
        RequireArray(records.insulin, records.iInsulinLast);
        RequireArray(records.intakes, records.iIntakesLast);
        RequireArray(records.exercise, records.iExerciseLast);
        RequireArray(records.medicines, records.iMedicinesLast);
        Require(records.iNoDateCount >= 0 && records.iNoDateCount <= std::numeric_limits<std::int16_t>::max());
        for (const InsulinRecord& r : records.insulin) Require(std::isfinite(r.I1) && std::isfinite(r.I2));
        if (const auto id = MeterIdFromInfo(text)) Require(!id->contains(u'\r'));
    }
    return 0;
}
