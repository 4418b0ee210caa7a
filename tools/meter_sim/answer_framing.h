// How the meter frames a data answer: its lines, each ending in CR LF, then the CRC-8 of all of them as two
// upper-case hexadecimal digits, CR LF, and the end mark "]" CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>

namespace bdlogic::sim {

// Dallas/Maxim CRC-8 computed bit by bit: deliberately independent of the driver's table, so the simulator can
// catch a wrong table instead of sharing its mistake.
std::uint8_t Crc8(QByteArrayView bytes);

QByteArray JoinLines(const QList<QByteArray>& lines);
// `crcError` is added to the check value: 0 frames a good answer, anything else a corrupted one.
QByteArray FrameAnswer(const QList<QByteArray>& lines, int crcError = 0);

} // namespace bdlogic::sim
