#include "category_writers.h"

#include "busy_cursor.h"
#include "driver_version.h"
#include "entry_lines.h"
#include "ole_date.h"
#include "profile_file.h"
#include "startup/common_code.h"
#include "startup/event_pump.h"

#include <algorithm>
#include <limits>

namespace bdlogic {

namespace {

// What sets one category's section apart from the others.
struct Category {
    QString section;
    QString importFromKey;
    QString columnHeader;
};

const Category kGlucose{QStringLiteral("GLUCOSE"), QStringLiteral("Import from"),
                        QStringLiteral("DDMMYYYY|HHMM|BG|EVENT|EVENT_DESC|COMMENT|CONTROL|SKIP")};
const Category kInsulin{QStringLiteral("INSULIN"), QStringLiteral("Import from"),
                        QStringLiteral("DDMMYYYY|HHMM|I1|I2|RAPID|TYPE|EVENT|EVENT_DESC|COMMENT|SKIP")};
const Category kIntakes{
    QStringLiteral("INTAKES"), QStringLiteral("Import from"),
    QStringLiteral(
        "DDMMYYYY|HHMM|BU|CARBO|FAT|PROTEIN|WATER|CHOL|FIBRES|KCAL|DESC|EVENT|EVENT_DESC|COMMENT|SKIP")};
const Category kExercise{QStringLiteral("EXERCISE"), QStringLiteral("Import From"),
                         QStringLiteral("DDMMYYYY|HHMM|MMM|DESC|EVENT|DESC_EVENT|COMMENT|SKIP")};
const Category kMedicines{QStringLiteral("MEDICINES"), QStringLiteral("Import from"),
                          QStringLiteral("DDMMYYYY|HHMM|NNN|DESC|TYP|EVENT|COMMENT|SKIP")};

// One writer's section in one file.
class SectionWriter {
public:
    SectionWriter(const Category& category, const QString& file, const ExportContext& context)
        : category_(category), file_(file), context_(context), earliest_(context.now) {}

    void key(const QString& key, const QString& value, bool deferSave = false) {
        context_.profile.ProfileWriteKey(category_.section, key, value, file_, deferSave);
    }

    void cursor(bool busy) {
        if (context_.cursor) context_.cursor->set(busy);
    }

    // The header keys after "Driver Version", each only when it has a value.
    void headerKeys(const ImportHeader& h) {
        if (!h.ImportFrom.isEmpty()) key(category_.importFromKey, h.ImportFrom);
        if (!h.ImportID.isEmpty()) key(QStringLiteral("Import ID"), h.ImportID);
        if (h.ImportType > 0) key(QStringLiteral("Import Type"), PlainDecimal(h.ImportType));
        if (h.ImportDate != 0)
            if (const auto date = FormatDdMmYyyy(h.ImportDate)) key(QStringLiteral("Date of Import"), *date);
        if (h.ImportTime != 0)
            if (const auto time = FormatHhNn(h.ImportTime)) key(QStringLiteral("Time of Import"), *time);
        if (!h.ImportAction.isEmpty()) key(QStringLiteral("Import Action"), h.ImportAction);
    }

    // Counts the element and stores its line under key index + 1; empty slots write nothing.
    template <class Record> void entry(std::size_t index, const Record& r, QString (*line)(const Record&)) {
        if (r.DATE == 0) return;
        if (r.SKIP != 0) ++skips_;
        if (r.DATE < earliest_) earliest_ = r.DATE;
        if (r.DATE > latest_) latest_ = r.DATE;
        ++entries_;
        key(PlainDecimal(static_cast<long long>(index) + 1), line(r), true);
    }

    void totals() {
        key(QStringLiteral("Entries"), PlainDecimal(entries_));
        if (const auto from = FormatDdMmYyyy(earliest_)) key(QStringLiteral("From"), *from);
        if (const auto until = FormatDdMmYyyy(latest_)) key(QStringLiteral("Until"), *until);
        key(QStringLiteral("NUMSKIPS"), PlainDecimal(skips_));
        key(QStringLiteral("STORAGEMETHOD"), QStringLiteral("0"));
    }

private:
    const Category& category_;
    const QString& file_;
    const ExportContext& context_;
    double earliest_;
    double latest_ = 0;
    int entries_ = 0;
    int skips_ = 0;
};

template <class Record> int UpperBound(const std::vector<Record>& records) {
    return static_cast<int>(std::min<std::size_t>(records.size() - 1, std::numeric_limits<int>::max()));
}

template <class Record>
int WriteSection(const Category& category, QString (*line)(const Record&), const QString& file,
                 const ImportHeader& header, const std::vector<Record>& records,
                 const ExportContext& context) {
    if (records.empty() || records.front().DATE == 0) return 0;
    SectionWriter w(category, file, context);
    w.cursor(true);
    context.profile.ProfileReset();
    context.profile.ProfileDeleteSection(category.section, file);
    w.key(QStringLiteral("Driver Version"), DriverVersion());
    w.headerKeys(header);
    w.key(QStringLiteral("Entries"), QStringLiteral("0"));
    // Each new key lands below the header, so walking downwards leaves the keys in ascending order.
    for (std::size_t i = records.size(); i-- > 0;) {
        w.entry(i, records[i], line);
        if (i % 50 == 0) context.pump.processEvents();
    }
    w.key(QStringLiteral("0"), category.columnHeader, true);
    w.totals();
    w.cursor(false);
    return UpperBound(records);
}

} // namespace

int ExportGlucose(const QString& file, const ImportHeader& header, const std::vector<GlucoseRecord>& records,
                  const ExportContext& context) {
    return WriteSection(kGlucose, &GlucoseLine, file, header, records, context);
}

int ExportInsulin(const QString& file, const ImportHeader& header, const std::vector<InsulinRecord>& records,
                  const ExportContext& context) {
    return WriteSection(kInsulin, &InsulinLine, file, header, records, context);
}

int ExportIntakes(const QString& file, const ImportHeader& header, const std::vector<IntakeRecord>& records,
                  const ExportContext& context) {
    return WriteSection(kIntakes, &IntakeLine, file, header, records, context);
}

int ExportExercise(const QString& file, const ImportHeader& header,
                   const std::vector<ExerciseRecord>& records, const ExportContext& context) {
    return WriteSection(kExercise, &ExerciseLine, file, header, records, context);
}

// The medicines section keeps its old keys, opens with "0" and "Driver Version" through the large-file path,
// and is walked upwards, so its entry keys end up in descending order with "0" at the bottom.
int ExportMedicines(const QString& file, const ImportHeader& header,
                    const std::vector<MedicineRecord>& records, const ExportContext& context) {
    if (records.empty() || records.front().DATE == 0) return 0;
    const Category& category = kMedicines;
    SectionWriter w(category, file, context);
    w.cursor(true);
    context.profile.ProfileWriteKeyLarge(category.section, QStringLiteral("0"), QString(), file);
    context.profile.ProfileWriteKeyLarge(category.section, QStringLiteral("Driver Version"), DriverVersion(),
                                         file);
    w.headerKeys(header);
    w.key(QStringLiteral("Entries"), QStringLiteral("0"));
    w.key(QStringLiteral("0"), category.columnHeader);
    for (std::size_t i = 0; i < records.size(); ++i) {
        w.entry(i, records[i], &MedicineLine);
        context.pump.processEvents();
    }
    w.totals();
    w.cursor(false);
    return UpperBound(records);
}

} // namespace bdlogic
