// The program's version as the import files carry it under "Driver Version".
#pragma once

#include <QString>

namespace bdlogic {

// Major, minor and revision number, each in plain decimal, joined by "." (1.00.0043 gives 1.0.43).
QString DriverVersion();

} // namespace bdlogic
