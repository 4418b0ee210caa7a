#include "scripted_meter_port.h"

namespace bdlogic::test {

namespace {
// Bit by bit, independent of the program's table.
std::uint8_t Crc8Maxim(const QByteArray& text) {
    std::uint8_t crc = 0;
    for (const char c : text) {
        auto b = static_cast<std::uint8_t>(c);
        for (int i = 0; i < 8; ++i) {
            const bool mix = ((crc ^ b) & 1) != 0;
            crc = static_cast<std::uint8_t>(crc >> 1);
            if (mix) crc ^= 0x8C;
            b = static_cast<std::uint8_t>(b >> 1);
        }
    }
    return crc;
}

QByteArray Hex2(int n) { return QByteArray::number(n, 16).rightJustified(2, '0').toUpper(); }
} // namespace

QByteArray FramedAnswer(const QByteArray& text) { return text + Hex2(Crc8Maxim(text)) + "\r\n]\r\n"; }

QByteArray CorruptAnswer(const QByteArray& text) { return text + Hex2(Crc8Maxim(text) ^ 0x01) + "\r\n]\r\n"; }

void ScriptedMeterPort::setPortOpen(bool open) {
    if (!open && open_) events.push_back(QStringLiteral("close"));
    open_ = open;
}

void ScriptedMeterPort::output(const QByteArray& bytes) {
    if (!open_ || bytes.size() != 2 || bytes[0] != '\0') return;
    const int code = static_cast<std::uint8_t>(bytes[1]);
    commands.push_back(code);
    events.push_back(QStringLiteral("cmd %1").arg(code, 2, 16, QLatin1Char('0')));
    auto& queue = answers_[code];
    if (queue.empty()) return;
    pending_ += queue.front();
    if (queue.size() > 1) queue.pop_front();
}

QByteArray ScriptedMeterPort::input() {
    QByteArray out;
    out.swap(pending_);
    return out;
}

} // namespace bdlogic::test
