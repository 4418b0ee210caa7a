#include "export_run.h"

#include "category_writers.h"
#include "ole_date.h"
#include "profile_file.h"
#include "profile_paths.h"
#include "startup/main_state.h"
#include "work_file.h"

#include <cstdlib>

namespace bdlogic {

namespace {
QString Digits(int n, int width) {
    return QString::number(n).rightJustified(width, u'0');
}
} // namespace

QString ImportFilePath(const QString& importDir, std::int32_t patientId, const QDateTime& moment) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    const QString stamp = Digits(d.day(), 2) + Digits(d.month(), 2) + Digits(d.year(), 4) +
                          Digits(t.hour(), 2) + Digits(t.minute(), 2) + Digits(t.second(), 2);
    const long long patient = patientId;
    const QString number = QString::number(std::llabs(patient)).rightJustified(5, u'0');
    return importDir + stamp + u'.' + (patient < 0 ? QStringLiteral("-") : QString()) + number;
}

ImportHeader MakeImportHeader(const MainState& state, const QDateTime& moment) {
    ImportHeader h;
    h.ImportFrom = state.sDriverName;
    h.ImportID = state.sMeterID;
    h.ImportType = state.iUniqueImportID;
    const QDate d = moment.date();
    const QTime t = moment.time();
    h.ImportDate = OleDate(d.year(), d.month(), d.day()).value_or(0);
    h.ImportTime = OleTime(t.hour(), t.minute(), t.second()).value_or(0);
    return h;
}

ExportedFile WriteImportFile(const MainState& state, const MeterRecords& records, const QDateTime& moment,
                             ProfileFile& profile, EventPump& pump, BusyCursor* cursor) {
    ExportedFile result;
    result.path = ResolveProfilePath(ImportFilePath(state.sImportDir, state.iPatientID, moment));
    WorkFile work(result.path);
    if (!work.error().isEmpty()) {
        result.failure = work.error();
        return result;
    }
    const QString& file = work.path();
    const ImportHeader header = MakeImportHeader(state, moment);
    const ExportContext context{profile, pump, OleFromDateTime(moment).value_or(0), cursor};
    profile.takeSaveError();
    profile.setSaveInPlace(file);
    ExportGlucose(file, header, records.glucose, context);
    ExportInsulin(file, header, records.insulin, context);
    ExportIntakes(file, header, records.intakes, context);
    ExportExercise(file, header, records.exercise, context);
    ExportMedicines(file, header, records.medicines, context);
    profile.setSaveInPlace(QString());
    result.failure = profile.takeSaveError();
    if (result.failure.isEmpty() && !work.isEmpty()) {
        result.written = work.commit();
        result.failure = work.error();
    }
    return result;
}

} // namespace bdlogic
