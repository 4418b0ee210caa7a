// A meter port on the simulated clock: each command gets a scripted reply whose chunks arrive at set times after
// it, and every operation is logged, so tests can check order, timing and what the code made of the answers.
#pragma once

#include "fakes.h"
#include "meterlink/meter_port.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace bdlogic::test {

struct Chunk {
    std::uint32_t afterMs; // after the command was written
    QByteArray bytes;
};
using Reply = std::vector<Chunk>;
// A reply that arrives in one piece as soon as the command is written.
inline Reply AtOnce(const QByteArray& bytes) { return {{0, bytes}}; }

// A data answer as the meter frames it: the text, its CRC-8 as two hex digits, CR LF "]" CR LF; CorruptAnswer
// gives check digits that do not match.
QByteArray FramedAnswer(const QByteArray& text);
QByteArray CorruptAnswer(const QByteArray& text);

class ScriptedPort : public MeterPort {
public:
    explicit ScriptedPort(FakeEventPump& pump) : pump_(pump) {}

    // Replies to a command code, one per time it is sent; the last repeats. An empty Reply is silence, and a code
    // with no replies is never answered.
    void script(std::uint8_t code, std::vector<Reply> replies) { replies_[code] = std::move(replies); }
    // The device goes away: the port is closed under the caller, as the Qt port does on a read error.
    void unplug() { open_ = false; }

    bool openFails = false; // a port that does not exist or is held elsewhere

    // Every operation in order: "input", "close", "commport 3", "clearOutput", "handshaking 0", "rts 1", "dtr 1",
    // "open", "settings 9600,O,8,1", "write 00 A0", "clearInput".
    QStringList log;
    // Command codes written to the open port, and when.
    std::vector<std::uint8_t> commands;
    std::vector<std::uint32_t> commandTimes;
    int sent(std::uint8_t code) const { return static_cast<int>(std::ranges::count(commands, code)); }

    void setCommPort(std::int16_t n) override;
    void setSettings(const QString& settings) override { log << QStringLiteral("settings ") + settings; }
    void setHandshaking(int mode) override { log << QStringLiteral("handshaking %1").arg(mode); }
    void setRTSEnable(bool on) override { log << QStringLiteral("rts %1").arg(on ? 1 : 0); }
    void setDTREnable(bool on) override { log << QStringLiteral("dtr %1").arg(on ? 1 : 0); }
    void setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    void output(const QByteArray& bytes) override;
    QByteArray input() override;
    void clearInput() override;
    void clearOutput() override { log << QStringLiteral("clearOutput"); }

private:
    struct Arrival {
        std::uint32_t at;
        QByteArray bytes;
    };
    bool arrived(const Arrival& a) const { return static_cast<std::int32_t>(pump_.now() - a.at) >= 0; }

    FakeEventPump& pump_;
    bool open_ = false;
    std::map<std::uint8_t, std::vector<Reply>> replies_;
    std::map<std::uint8_t, std::size_t> used_;
    std::vector<Arrival> incoming_;
};

} // namespace bdlogic::test
