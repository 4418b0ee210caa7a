#include "meter_import_steps.h"

#include "memory/meter_read.h"
#include "meterlink/meter_identification.h"
#include "meterlink/port_device.h"

#include <QSerialPort>

namespace bdlogic {

MeterImportSteps::MeterImportSteps(Services& services)
    : s_(services), port_(services.registry), layer_(port_, services) {}

std::vector<PortTarget> MeterImportSteps::portTargets(std::int16_t highest) {
    return PortTargets(s_.registry, highest);
}

PortProbe MeterImportSteps::probePort(std::int16_t port) {
    const QString device = PortDevice(s_.registry, port);
    if (device.isEmpty()) return {};
    // Qt's lock file and exclusive mode refuse a device that another program holds.
    QSerialPort probe;
    probe.setPortName(device);
    const bool ok = probe.open(QIODevice::ReadOnly);
    probe.close();
    if (ok) return {true, std::nullopt};
    return {false, CheckPermission(device)};
}

bool MeterImportSteps::meter_connected() { return bdlogic::meter_connected(port_, s_) != 0; }

int MeterImportSteps::meter_read(MeterRecords& records, DownloadReport& report) {
    return bdlogic::meter_read(layer_, s_, records, report, animate_);
}

ExportedFile MeterImportSteps::export_file(const MeterRecords& records) {
    const QDateTime moment = now_ ? now_() : QDateTime::currentDateTime();
    return WriteImportFile(s_.state, records, moment, profile_, s_.pump, cursor_);
}

} // namespace bdlogic
