// A meter on a fake port: each command gets the next answer scripted for it, delivered at once.
#pragma once

#include "meterlink/meter_port.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace bdlogic::test {

// A data answer as the meter frames it: the text, its CRC-8 (Dallas/Maxim) as two hex digits, CR LF "]" CR LF.
QByteArray FramedAnswer(const QByteArray& text);
// The same with check digits that do not match.
QByteArray CorruptAnswer(const QByteArray& text);

class ScriptedMeterPort : public MeterPort {
public:
    // Answers for a command code, served in order; the last one is repeated once the others are used up.
    void script(int code, std::vector<QByteArray> answers) { answers_[code].assign(answers.begin(), answers.end()); }

    void setCommPort(std::int16_t n) override { comm = n; }
    void setSettings(const QString& s) override { settings = s; }
    void setHandshaking(int) override {}
    void setRTSEnable(bool) override {}
    void setDTREnable(bool) override {}
    void setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    void output(const QByteArray& bytes) override;
    QByteArray input() override;
    void clearInput() override { pending_.clear(); }
    void clearOutput() override { events.push_back(QStringLiteral("clearOutput")); }

    // Command codes written, in order.
    std::vector<int> commands;
    // clearOutput, close and the commands as "cmd XX", in order.
    std::vector<QString> events;
    std::int16_t comm = 0;
    QString settings;

private:
    std::map<int, std::deque<QByteArray>> answers_;
    QByteArray pending_;
    bool open_ = true;
};

} // namespace bdlogic::test
