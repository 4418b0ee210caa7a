#include "port_device.h"

namespace bdlogic {

QString PortDevice(const Registry& registry, std::int16_t n) {
    if (n < 1) return {};
    const QString com = QStringLiteral("COM%1").arg(n);
    // The map lets any device (a USB adapter, a pseudo-terminal) stand in for a numbered port.
    for (const QString& device : registry.ValueNames(Hive::LocalMachine, kSerialDeviceMapKey)) {
        QString data;
        if (registry.ReadRegValue(Hive::LocalMachine, kSerialDeviceMapKey, device, data) &&
            data.compare(com, Qt::CaseInsensitive) == 0)
            return device;
    }
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

} // namespace bdlogic
