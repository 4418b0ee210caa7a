#include "serial_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

namespace bdlogic::sim {

namespace {

QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

std::optional<speed_t> Speed(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;
    }
}

bool MakeRaw(int fd, const LineSettings* settings, QString* error) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        if (error) *error = SystemError("tcgetattr");
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (settings) {
        const auto speed = Speed(settings->baud);
        if (!speed) {
            if (error) *error = QStringLiteral("unsupported line speed %1").arg(settings->baud);
            return false;
        }
        cfsetispeed(&t, *speed);
        cfsetospeed(&t, *speed);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
        const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
        t.c_cflag |= sizes[std::clamp(settings->dataBits, 5, 8) - 5];
        if (settings->parity != 'N') t.c_cflag |= PARENB;
        if (settings->parity == 'O') t.c_cflag |= PARODD;
        if (settings->stopBits10 > 10) t.c_cflag |= CSTOPB;
    }
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        if (error) *error = SystemError("tcsetattr");
        return false;
    }
    return true;
}

} // namespace

SerialLine::SerialLine(SerialLine&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), keepSlave_(std::exchange(other.keepSlave_, -1)),
      path_(std::move(other.path_)) {}

SerialLine::~SerialLine() {
    if (keepSlave_ >= 0) ::close(keepSlave_);
    if (fd_ >= 0) ::close(fd_);
}

std::optional<SerialLine> SerialLine::openPseudoTerminal(QString* error) {
    SerialLine line;
    line.fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.fd_ < 0 || grantpt(line.fd_) != 0 || unlockpt(line.fd_) != 0) {
        if (error) *error = SystemError("posix_openpt");
        return std::nullopt;
    }
    const char* name = ptsname(line.fd_);
    if (!name) {
        if (error) *error = SystemError("ptsname");
        return std::nullopt;
    }
    line.path_ = QString::fromLocal8Bit(name);
    line.keepSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.keepSlave_ < 0) {
        if (error) *error = SystemError("open slave");
        return std::nullopt;
    }
    // No echo, no line editing, no CR/LF translation: the bytes pass as they are.
    if (!MakeRaw(line.keepSlave_, nullptr, error)) return std::nullopt;
    return line;
}

std::optional<SerialLine> SerialLine::openDevice(const QString& path, const LineSettings& settings, QString* error) {
    SerialLine line;
    line.path_ = path;
    line.fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.fd_ < 0) {
        if (error) *error = SystemError("open");
        return std::nullopt;
    }
    if (!MakeRaw(line.fd_, &settings, error)) return std::nullopt;
    return line;
}

} // namespace bdlogic::sim
