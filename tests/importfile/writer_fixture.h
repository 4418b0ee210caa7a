// What the writer tests share: the export moment 3 December 2026 23:15:07, the header the export run builds
// for it, a recording wait cursor, and a context on the fake event pump.
#pragma once

#include "importfile/busy_cursor.h"
#include "importfile/category_writers.h"
#include "importfile/ole_date.h"
#include "importfile/profile_file.h"
#include "profile_test_support.h"
#include "support/fakes.h"

#include <vector>

namespace bdlogic::test {

inline double Day(int y, int m, int d) {
    return OleDate(y, m, d).value();
}
inline double At(int h, int n) {
    return OleTime(h, n).value();
}
inline double ExportMoment() {
    return Day(2026, 12, 3) + OleTime(23, 15, 7).value();
}

inline ImportHeader MeterHeader() {
    ImportHeader h;
    h.ImportFrom = QStringLiteral("BD Logic");
    h.ImportID = QStringLiteral("LOGIC-0815");
    h.ImportType = 64;
    h.ImportDate = Day(2026, 12, 3);
    h.ImportTime = OleTime(23, 15, 7).value();
    return h;
}

class RecordingCursor : public BusyCursor {
public:
    void set(bool busy) override { states.push_back(busy); }
    std::vector<bool> states;
};

class WriterTest : public TempFiles {
protected:
    ExportContext context() { return {profile, pump, ExportMoment(), &cursor}; }
    QString file() const { return path(QStringLiteral("03122026231507.00042")); }

    ProfileFile profile;
    FakeEventPump pump;
    RecordingCursor cursor;
};

} // namespace bdlogic::test
