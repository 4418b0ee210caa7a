// The first contact with the meter: open the chosen port with the model's line settings, wake the meter and see
// whether it answers.
#pragma once

#include "meter_port.h"
#include "startup/services.h"

#include <cstdint>

namespace bdlogic {

// True (-1) when the meter answered the wake-up; the port then stays open, configured, RTS and DTR on. False (0)
// otherwise, with the port closed. Reads iComm, iUniqueImportID and sDriverName; shows each attempt in the status.
std::int16_t meter_connected(MeterPort& port, Services& services);

} // namespace bdlogic
