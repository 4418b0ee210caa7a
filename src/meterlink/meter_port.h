// The serial port as the meter link uses it: a handful of properties, each failing quietly. Implemented over Qt
// SerialPort for real devices; tests use a scripted fake.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace bdlogic {

class MeterPort {
public:
    virtual ~MeterPort() = default;

    // Port number n (mapped to a device by the platform); assigned while the port is closed.
    virtual void setCommPort(std::int16_t n) = 0;
    // "baud,parity,data,stop", e.g. "9600,O,8,1"; applied at once to an open port.
    virtual void setSettings(const QString& settings) = 0;
    // 0: no flow control.
    virtual void setHandshaking(int mode) = 0;
    virtual void setRTSEnable(bool on) = 0;
    virtual void setDTREnable(bool on) = 0;
    // true acquires the port, false releases it; false on a closed port does nothing.
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // Sends each byte in order; nothing when the port is closed.
    virtual void output(const QByteArray& bytes) = 0;
    // Everything received and not yet read (one character per byte), empty when nothing is waiting.
    virtual QByteArray input() = 0;
    // InBufferCount = 0 / OutBufferCount = 0: discard what is received and not read / written and not sent.
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;
};

} // namespace bdlogic
