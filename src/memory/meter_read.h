// The memory download: the glucose and marker series and the information block from the meter, decoded into the
// wizard's record arrays.
#pragma once

#include "importfile/type_defs.h"
#include "meterlink/download_report.h"
#include "meterlink/message_layer.h"
#include "startup/services.h"

#include <QString>

#include <functional>

namespace bdlogic {

// Switches the wizard's download animation and busy pointer on (true) and off (false).
using AnimateFn = std::function<void(bool)>;

// Runs the download on the open port and decodes it into `records`; returns the number of records produced and
// says in `report` how far the download got. A meter that falls silent or a port that goes away ends the whole
// download at once; what was read is decoded. All five arrays and their counters start empty at every call, so a
// second download in the same run never carries records of the first into its import file; the undated count
// keeps counting over the whole run. The port is closed at the end. The meter id goes to sMeterID.
int meter_read(MessageLayer& layer, Services& services, MeterRecords& records, DownloadReport& report,
               const AnimateFn& animate = {});

// The records the arrays hold by their counters: counter + 1 for each counter of 0 or more.
int RecordCount(const MeterRecords& records);

} // namespace bdlogic
