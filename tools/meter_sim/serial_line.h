// The simulator's end of the serial line: a new pseudo-terminal pair, or an existing device.
#pragma once

#include "meterlink/line_settings.h"

#include <QString>

#include <optional>

namespace bdlogic::sim {

class SerialLine {
public:
    SerialLine() = default;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;
    SerialLine(SerialLine&& other) noexcept;
    SerialLine& operator=(SerialLine&&) = delete;
    ~SerialLine();

    // A pseudo-terminal in raw mode. The driver opens `devicePath()`; the simulator reads and writes `fd()`.
    static std::optional<SerialLine> openPseudoTerminal(QString* error);
    // An existing device (a serial port, one end of a socat pair) in raw mode with the given settings.
    static std::optional<SerialLine> openDevice(const QString& path, const LineSettings& settings, QString* error);

    int fd() const { return fd_; }
    const QString& devicePath() const { return path_; }

private:
    int fd_ = -1;
    // Our own descriptor on the pty's slave side. While it is open the master never sees the line hang up, so
    // the driver can close and reopen the port as often as it likes.
    int keepSlave_ = -1;
    QString path_;
};

} // namespace bdlogic::sim
