#include "serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

namespace bdlogic {

namespace {

// udev's links that name a device by maker, product and serial number.
constexpr auto kById = "/dev/serial/by-id";

QString Describe(const QString& maker, const QString& product) {
    const QString m = maker.trimmed();
    const QString p = product.trimmed();
    if (m.isEmpty() || p.startsWith(m, Qt::CaseInsensitive)) return p;
    return p.isEmpty() ? m : m + u' ' + p;
}

} // namespace

std::vector<SerialDevice> SystemSerialDevices() {
    QHash<QString, QString> byId; // device node -> its by-id link
    const QDir links(QString::fromLatin1(kById));
    for (const QFileInfo& link : links.entryInfoList(QDir::Files | QDir::System, QDir::Name)) {
        const QString node = link.canonicalFilePath();
        if (!node.isEmpty() && !byId.contains(node)) byId.insert(node, link.absoluteFilePath());
    }
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice d{info.systemLocation(), {}, Describe(info.manufacturer(), info.description())};
        d.identity = byId.value(QFileInfo(d.path).canonicalFilePath(), d.path);
        devices.push_back(std::move(d));
    }
    std::sort(devices.begin(), devices.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    return devices;
}

} // namespace bdlogic
