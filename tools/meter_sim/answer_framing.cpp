#include "answer_framing.h"

namespace bdlogic::sim {

std::uint8_t Crc8(QByteArrayView bytes) {
    unsigned crc = 0;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0x8Cu : crc >> 1;
    }
    return static_cast<std::uint8_t>(crc);
}

QByteArray JoinLines(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines) out += line + "\r\n";
    return out;
}

QByteArray FrameAnswer(const QList<QByteArray>& lines, int crcError) {
    const QByteArray body = JoinLines(lines);
    const unsigned check = (Crc8(body) + static_cast<unsigned>(crcError)) & 0xFFu;
    return body + QByteArray::number(check, 16).rightJustified(2, '0').toUpper() + "\r\n]\r\n";
}

} // namespace bdlogic::sim
