#include "scripted_port.h"

#include <algorithm>

namespace bdlogic::test {

namespace {
// CRC-8 Dallas/Maxim bit by bit, apart from the program's table, as two hex digits; `flip` spoils them.
QByteArray CheckDigits(const QByteArray& text, std::uint8_t flip) {
    std::uint8_t crc = 0;
    for (const char c : text)
        for (int i = 0, b = static_cast<std::uint8_t>(c); i < 8; ++i, b >>= 1)
            crc = static_cast<std::uint8_t>(((crc ^ b) & 1) != 0 ? (crc >> 1) ^ 0x8C : crc >> 1);
    return QByteArray::number(crc ^ flip, 16).rightJustified(2, '0').toUpper();
}
} // namespace

QByteArray FramedAnswer(const QByteArray& text) { return text + CheckDigits(text, 0) + "\r\n]\r\n"; }
QByteArray CorruptAnswer(const QByteArray& text) { return text + CheckDigits(text, 1) + "\r\n]\r\n"; }

void ScriptedPort::setCommPort(std::int16_t n) { log << QStringLiteral("commport %1").arg(n); }

void ScriptedPort::setPortOpen(bool open) {
    log << (open ? QStringLiteral("open") : QStringLiteral("close"));
    open_ = open && !openFails;
    if (!open_) incoming_.clear();
}

void ScriptedPort::output(const QByteArray& bytes) {
    log << QStringLiteral("write ") + QString::fromLatin1(bytes.toHex(' ').toUpper());
    if (!open_ || bytes.size() != 2 || bytes[0] != '\0') return;
    const auto code = static_cast<std::uint8_t>(bytes[1]);
    commands.push_back(code);
    commandTimes.push_back(pump_.now());
    const auto found = replies_.find(code);
    if (found == replies_.end() || found->second.empty()) return;
    const std::size_t n = used_[code]++;
    const Reply& reply = found->second[std::min(n, found->second.size() - 1)];
    for (const Chunk& c : reply) incoming_.push_back({pump_.now() + c.afterMs, c.bytes});
}

QByteArray ScriptedPort::input() {
    log << QStringLiteral("input");
    QByteArray out;
    if (!open_) return out;
    std::stable_sort(incoming_.begin(), incoming_.end(), [](const Arrival& a, const Arrival& b) {
        return static_cast<std::int32_t>(a.at - b.at) < 0;
    });
    while (!incoming_.empty() && arrived(incoming_.front())) {
        out += incoming_.front().bytes;
        incoming_.erase(incoming_.begin());
    }
    return out;
}

void ScriptedPort::clearInput() {
    log << QStringLiteral("clearInput");
    // What has arrived is discarded; what is still on its way arrives later, as on a real line.
    std::erase_if(incoming_, [&](const Arrival& a) { return arrived(a); });
}

} // namespace bdlogic::test
