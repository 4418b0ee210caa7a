// The wizard's meter work on a real serial port: port probe, identification, download and export.
#pragma once

#include "import_steps.h"
#include "importfile/busy_cursor.h"
#include "importfile/profile_file.h"
#include "meterlink/message_layer.h"
#include "meterlink/qt_meter_port.h"
#include "startup/services.h"

#include <QDateTime>

#include <functional>

namespace bdlogic {

class MeterImportSteps final : public ImportSteps {
public:
    explicit MeterImportSteps(Services& services);

    std::vector<PortTarget> portTargets(std::int16_t highest) override;
    PortProbe probePort(std::int16_t port) override;
    bool meter_connected() override;
    int meter_read(MeterRecords& records, DownloadReport& report) override;
    ExportedFile export_file(const MeterRecords& records) override;
    void closePort() override { port_.setPortOpen(false); }

    // Switched on and off by the download: the wizard's animation.
    void setAnimate(std::function<void(bool)> animate) { animate_ = std::move(animate); }
    // The moment the import file is named after; the current time unless set (tests).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }
    // The hourglass the writers show; none unless set.
    void setBusyCursor(BusyCursor* cursor) { cursor_ = cursor; }

private:
    Services& s_;
    QtMeterPort port_;
    MessageLayer layer_;
    std::function<void(bool)> animate_;
    std::function<QDateTime()> now_;
    ProfileFile profile_;
    BusyCursor* cursor_ = nullptr;
};

} // namespace bdlogic
