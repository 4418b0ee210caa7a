// The writers of the import file's five category sections. Each stores its section through the profile engine
// and returns the upper bound of its array, or 0 when element 0 holds no date and nothing was written.
#pragma once

#include "type_defs.h"

#include <QString>

#include <vector>

namespace bdlogic {

class BusyCursor;
class EventPump;
class ProfileFile;

struct ExportContext {
    ProfileFile& profile;
    EventPump& pump;              // lets the windows run their events while large arrays are written
    double now;                   // the export moment as a day count; "From" is never later than it
    BusyCursor* cursor = nullptr; // the wait cursor; none when null
};

int ExportGlucose(const QString& file, const ImportHeader& header, const std::vector<GlucoseRecord>& records,
                  const ExportContext& context);
int ExportInsulin(const QString& file, const ImportHeader& header, const std::vector<InsulinRecord>& records,
                  const ExportContext& context);
int ExportIntakes(const QString& file, const ImportHeader& header, const std::vector<IntakeRecord>& records,
                  const ExportContext& context);
int ExportExercise(const QString& file, const ImportHeader& header,
                   const std::vector<ExerciseRecord>& records, const ExportContext& context);
int ExportMedicines(const QString& file, const ImportHeader& header,
                    const std::vector<MedicineRecord>& records, const ExportContext& context);

} // namespace bdlogic
