// The file half of the export run: names the import file after the export moment and the patient, builds the
// header and lets the five writers store their sections into it, in their fixed order.
#pragma once

#include "type_defs.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace bdlogic {

class BusyCursor;
class EventPump;
class ProfileFile;
struct MainState;

// importDir + "ddmmyyyyhhmmss" of the moment + "." + the patient number with at least five digits. A negative
// number keeps its sign in front of the five digits (-42 gives ".-00042"), so the extension still reads back
// as the number.
QString ImportFilePath(const QString& importDir, std::int32_t patientId, const QDateTime& moment);

// The header every section carries: the driver name, the meter id, the model code, the export day and the
// time of day to the second. "Import Action" stays empty.
ImportHeader MakeImportHeader(const MainState& state, const QDateTime& moment);

// What an export run left: the import file's full path, whether the file stands there, and if not, the
// system's reason (empty when there was nothing to write).
struct ExportedFile {
    QString path;
    bool written = false;
    QString failure;
};

// Writes every category that has entries into the import file. The file gets its name only when it is
// complete: the writers work on a hidden work file beside it, which then takes the name. A run in which any
// write fails leaves no file.
ExportedFile WriteImportFile(const MainState& state, const MeterRecords& records, const QDateTime& moment,
                             ProfileFile& profile, EventPump& pump, BusyCursor* cursor = nullptr);

} // namespace bdlogic
