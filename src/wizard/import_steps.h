// The meter work the wizard's steps call: probe a port, wake the meter, download its memory, write the import file.
#pragma once

#include "importfile/export_run.h"
#include "importfile/type_defs.h"
#include "meterlink/device_permission.h"
#include "meterlink/download_report.h"
#include "meterlink/port_device.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace bdlogic {

// How a port test went.
struct PortProbe {
    bool ok = false;
    std::optional<PermissionRefusal> refused; // the system refused the device for lack of permission
};

class ImportSteps {
public:
    virtual ~ImportSteps() = default;
    // What stands behind ports 1..highest; the port scan asks once.
    virtual std::vector<PortTarget> portTargets(std::int16_t highest) = 0;
    // Opens the port's device briefly; not ok when it does not exist or another program holds it.
    virtual PortProbe probePort(std::int16_t port) = 0;
    // Wakes the meter on the port in iComm; true leaves the port open.
    virtual bool meter_connected() = 0;
    // Downloads and decodes the memory into `records`; returns the number of records, and in `report` how far
    // the download got.
    virtual int meter_read(MeterRecords& records, DownloadReport& report) = 0;
    // Writes the import file from `records`; says where, and whether it was written.
    virtual ExportedFile export_file(const MeterRecords& records) = 0;
    // PortOpen = false.
    virtual void closePort() = 0;
};

} // namespace bdlogic
