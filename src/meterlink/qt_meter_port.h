// The meter's serial port over Qt SerialPort. Every operation fails quietly: a port that does not exist or is
// held elsewhere simply stays closed, and reading or writing a closed port does nothing.
#pragma once

#include "line_settings.h"
#include "meter_port.h"
#include "startup/registry/registry.h"

#include <QSerialPort>

namespace bdlogic {

class QtMeterPort final : public MeterPort {
public:
    // Port numbers are mapped to devices through the registry's serial device map.
    explicit QtMeterPort(const Registry& registry);

    void setCommPort(std::int16_t n) override;
    void setSettings(const QString& settings) override;
    void setHandshaking(int mode) override;
    void setRTSEnable(bool on) override;
    void setDTREnable(bool on) override;
    void setPortOpen(bool open) override;
    bool portOpen() const override;
    void output(const QByteArray& bytes) override;
    QByteArray input() override;
    void clearInput() override;
    void clearOutput() override;

    // The device the port was last opened on (or tried to be).
    const QString& deviceName() const { return device_; }
    // True when the port was closed because its device went away (a pulled cable, the other end of a pty gone);
    // cleared by the next successful open.
    bool deviceLost() const { return lost_; }

private:
    void applySettings();
    void applyLines();
    void onError(QSerialPort::SerialPortError error);

    const Registry& registry_;
    QSerialPort serial_;
    std::int16_t commPort_ = 1;
    QString device_;
    LineSettings settings_;           // "9600,N,8,1" until the program sets its own
    QSerialPort::FlowControl flow_ = QSerialPort::NoFlowControl;
    bool rts_ = false;
    bool dtr_ = false;
    bool lost_ = false;
};

} // namespace bdlogic
