// The simulator's command line.
#pragma once

#include "meterlink/line_settings.h"
#include "simulated_meter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace bdlogic::sim {

struct SimOptions {
    // Where the answers come from: exactly one of these.
    QString memoryPath;    // a memory file
    QString replayPath;    // a recorded transcript
    QString forwardDevice; // a real meter on this device, whose answers are passed through

    QString devicePath; // serve this device instead of a new pseudo-terminal
    LineSettings settings{9600, 'O', 8, 1 * 10};
    bool pace = false; // send at the speed of `settings`
    Faults faults;
    qsizetype chunk = 0;
    int gapMs = 0;
    QByteArray late; // sent in a write of its own lateMs after every answer
    int lateMs = 0;
    std::optional<std::uint8_t> dropCode;
    std::optional<qsizetype> dropBytes; // how much of that answer goes out before the line drops; half if unset
    QString logPath;                    // commands received; "-" is standard error
    QString recordPath;                 // transcript of the session
    bool parentWatch = false;           // end when standard input closes
};

struct ParsedOptions {
    std::optional<SimOptions> options; // nothing: print `message` and exit with `exitCode`
    QString message;
    int exitCode = 0;
};

ParsedOptions ParseOptions(const QStringList& arguments);

} // namespace bdlogic::sim
