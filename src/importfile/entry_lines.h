// One record as the "|"-separated value of its entry key, trailing "|" removed.
#pragma once

#include "type_defs.h"

#include <QString>

namespace bdlogic {

QString GlucoseLine(const GlucoseRecord& r);
QString InsulinLine(const InsulinRecord& r);
QString IntakeLine(const IntakeRecord& r);
QString ExerciseLine(const ExerciseRecord& r);
QString MedicineLine(const MedicineRecord& r);

} // namespace bdlogic
