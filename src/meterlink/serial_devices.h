// The serial devices the system has, as Qt SerialPort lists them, with the name that stays the same for each.
// Not built on Windows, where the system numbers its ports itself.
#pragma once

#include <QString>

#include <vector>

namespace bdlogic {

struct SerialDevice {
    QString path;        // the device node, e.g. /dev/ttyUSB0
    QString identity;    // the same for the device in any socket: its /dev/serial/by-id/ name, else `path`
    QString description; // what the system says it is (maker and product), e.g. "FTDI FT232R USB UART"; may be empty
};

// The devices as Qt SerialPort lists them now (pseudo-terminals and virtual consoles are not among them), in
// the order of their paths.
std::vector<SerialDevice> SystemSerialDevices();

} // namespace bdlogic
