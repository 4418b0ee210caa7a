// The meter's information block: its answer to 00 A2, a list of fields of which the 13th carries the meter id.
#pragma once

#include <QString>

#include <optional>

namespace bdlogic {

// Field 13 up to its first CR; nothing when that field has no CR (the meter id is then left as it was).
std::optional<QString> MeterIdFromInfo(const QString& info);

} // namespace bdlogic
