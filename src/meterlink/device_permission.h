// Whether the system refuses a serial device to this user for lack of permission, and who may have it.
#pragma once

#include <QString>

#include <optional>

namespace bdlogic {

struct PermissionRefusal {
    QString device;
    QString group; // the group that owns the device (its name, else its number): members may open it
};

// The refusal when `device` exists, this user may not open it for reading and writing, and members of its group
// (other than root's) may; nothing otherwise, and always nothing on Windows, where a port that cannot be opened
// is one in use.
std::optional<PermissionRefusal> CheckPermission(const QString& device);

} // namespace bdlogic
