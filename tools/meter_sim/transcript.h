// A session on the line as text: "> 00 80" for a command the driver sent, "< 47 6C 75 ..." for bytes the meter
// sent back (several "<" lines after one command are one answer). Recorded from a real meter once, a session
// can be replayed to the driver as often as needed.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

namespace bdlogic::sim {

class TranscriptWriter {
public:
    bool open(const QString& path, QString* error);
    void command(std::uint8_t code);
    void answer(const QByteArray& bytes);

private:
    void writeLine(const QByteArray& line);
    QFile file_;
};

// Answers each command with the next answer recorded for it; once they are used up the last one repeats. A
// command the session never saw, or that got no answer there, gets none.
class TranscriptReplay {
public:
    static std::optional<TranscriptReplay> load(const QString& path, QString* error);
    static std::optional<TranscriptReplay> parse(const QByteArray& text, QString* error);

    QByteArray reply(std::uint8_t code);

private:
    std::map<std::uint8_t, QList<QByteArray>> answers_;
    std::map<std::uint8_t, qsizetype> used_;
};

} // namespace bdlogic::sim
