#include "qt_meter_port.h"

#include "port_device.h"

namespace bdlogic {

namespace {

QSerialPort::Parity ToQt(char parity) {
    switch (parity) {
    case 'O': return QSerialPort::OddParity;
    case 'E': return QSerialPort::EvenParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits StopBitsToQt(int stopBits10) {
    if (stopBits10 == 15) return QSerialPort::OneAndHalfStop;
    return stopBits10 == 20 ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

// System reads (up to 32 KiB each) per input(): far more than the meter sends between two polls, and a bound
// should a broken device never stop delivering.
constexpr int kMaxReadsPerPoll = 64;

// With room for a single byte Qt stops watching the line once that byte is in, instead of waking the event loop
// for every byte that arrives (a few percent of a core at 9600 baud); the rest waits in the system's buffer for
// the next poll. Windows reads by overlapped completion and keeps Qt's own buffering.
void WatchLineLazily(QSerialPort& serial, bool lazily) {
#ifndef Q_OS_WIN
    serial.setReadBufferSize(lazily ? 1 : 0);
#else
    Q_UNUSED(serial);
    Q_UNUSED(lazily);
#endif
}

} // namespace

QtMeterPort::QtMeterPort(const Registry& registry) : registry_(registry) {
    QObject::connect(&serial_, &QSerialPort::errorOccurred, &serial_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

void QtMeterPort::onError(QSerialPort::SerialPortError error) {
    // Once the device is gone Qt keeps reporting it from its read notifier, spinning the event loop; closing
    // at once stops that and lets every later exchange fail without waiting.
    if ((error == QSerialPort::ReadError || error == QSerialPort::ResourceError) && serial_.isOpen()) {
        lost_ = true;
        serial_.close();
    }
}

void QtMeterPort::setCommPort(std::int16_t n) {
    if (serial_.isOpen() || n < 1) return;
    commPort_ = n;
}

void QtMeterPort::setSettings(const QString& settings) {
    const auto parsed = ParseLineSettings(settings);
    if (!parsed) return;
    settings_ = *parsed;
    applySettings();
}

void QtMeterPort::setHandshaking(int mode) {
    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both (Qt has no combined mode; hardware control wins).
    switch (mode) {
    case 0: flow_ = QSerialPort::NoFlowControl; break;
    case 1: flow_ = QSerialPort::SoftwareControl; break;
    case 2:
    case 3: flow_ = QSerialPort::HardwareControl; break;
    default: return;
    }
    serial_.setFlowControl(flow_);
    serial_.clearError();
}

void QtMeterPort::setRTSEnable(bool on) {
    rts_ = on;
    applyLines();
}

void QtMeterPort::setDTREnable(bool on) {
    dtr_ = on;
    applyLines();
}

void QtMeterPort::setPortOpen(bool open) {
    if (open == serial_.isOpen()) return;
    if (!open) {
        serial_.close();
        serial_.clearError();
        return;
    }
    device_ = PortDevice(registry_, commPort_);
    serial_.setPortName(device_);
    // Settings given while closed are those the port opens with.
    applySettings();
    serial_.setFlowControl(flow_);
    if (!serial_.open(QIODevice::ReadWrite)) {
        serial_.clearError();
        return;
    }
    lost_ = false;
    WatchLineLazily(serial_, true);
    applyLines();
}

bool QtMeterPort::portOpen() const { return serial_.isOpen(); }

void QtMeterPort::output(const QByteArray& bytes) {
    if (!serial_.isOpen()) return;
    serial_.write(bytes);
    // Qt sends on the next event loop turn otherwise; the command must leave now.
    if (serial_.isOpen()) serial_.flush();
    serial_.clearError();
}

QByteArray QtMeterPort::input() {
    if (!serial_.isOpen()) return {};
    // Qt moves bytes from the system into its buffer only on an event loop turn; fetch what is there now, all of
    // it at once.
    WatchLineLazily(serial_, false);
    for (int i = 0; i < kMaxReadsPerPoll && serial_.isOpen() && serial_.waitForReadyRead(0); ++i) {
    }
    QByteArray data;
    if (serial_.isOpen()) {
        data = serial_.readAll();
        WatchLineLazily(serial_, true);
    }
    serial_.clearError();
    return data;
}

void QtMeterPort::clearInput() {
    if (!serial_.isOpen()) return;
    serial_.clear(QSerialPort::Input);
    serial_.clearError();
}

void QtMeterPort::clearOutput() {
    if (!serial_.isOpen()) return;
    serial_.clear(QSerialPort::Output);
    serial_.clearError();
}

void QtMeterPort::applySettings() {
    serial_.setBaudRate(settings_.baud);
    serial_.setParity(ToQt(settings_.parity));
    serial_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
    serial_.setStopBits(StopBitsToQt(settings_.stopBits10));
    // A pseudo-terminal takes parity without applying it; a real port may refuse a rate: neither is fatal.
    serial_.clearError();
}

void QtMeterPort::applyLines() {
    if (!serial_.isOpen()) return;
    // On a pseudo-terminal both setters fail ("Inappropriate ioctl for device") and the port stays usable.
    serial_.setDataTerminalReady(dtr_);
    if (flow_ != QSerialPort::HardwareControl) serial_.setRequestToSend(rts_);
    serial_.clearError();
}

} // namespace bdlogic
