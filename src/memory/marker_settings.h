// What the markers P1..P4 of the meter mean, and the comment text of readings with the asterisk mark: the user's
// choices stored under the driver's registry key, as the download and the set-up dialog read and write them.
#pragma once

#include "startup/registry/registry.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace bdlogic {

enum MarkerDataType : std::int16_t {
    kMarkerInsulin = 0,
    kMarkerIntakes = 1,
    kMarkerExercise = 2,
    kMarkerMedicines = 3,
};

// One marker. A number that was not stored as a number is empty; the download takes it as 0, the dialog shows no
// selection and then writes nothing back for it.
struct MarkerEntry {
    std::optional<std::int16_t> dataType;    // MarkerDataType; any other number makes the marker's entries ignored
    std::optional<std::int16_t> insulinType; // 0..13, used with kMarkerInsulin
    QString description;                     // copied into every record made from the marker
};

using MarkerTable = std::array<MarkerEntry, 4>; // index k = marker number - 1

struct MarkerSettings {
    MarkerTable markers;
    QString comment; // given to glucose readings that carry the meter's asterisk mark
    // Check box values (1 checked, 0 unchecked); only the dialog reads and writes them.
    std::optional<std::int16_t> glucoseAvailable;
    std::optional<std::int16_t> insulinAvailable;
};

// As the download reads them: every number defaults to 0 (so no stored settings make every marker insulin of type
// 0), texts to "".
MarkerSettings LoadDownloadMarkerSettings(const Registry& registry, const QString& key);

// As the set-up dialog reads them: insulin types 9, 10, 13, 2 for P1..P4, data type 0, comment "!!!", and the two
// boxes from the machine hive (default checked) overridden by the user hive.
MarkerSettings LoadDialogMarkerSettings(const Registry& registry, const QString& key);

// Writes the dialog's values into the user hive: the boxes as "-1"/"0", then per marker description, data type and
// insulin type, last the comment as typed. Empty numbers are not written; an empty text is stored as one blank.
void SaveMarkerSettings(Registry& registry, const QString& key, const MarkerSettings& settings);

} // namespace bdlogic
