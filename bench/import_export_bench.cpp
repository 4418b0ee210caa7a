// Exporting a large glucose memory: the writer's entry keys go through the profile engine one by one, so this
// shows whether the engine stays about linear in the number of records. The export run adds what lies around
// the writers (the import file's name, its hidden work file and the final rename).
#include "importfile/category_writers.h"
#include "importfile/export_run.h"
#include "importfile/ole_date.h"
#include "importfile/profile_file.h"
#include "startup/event_pump.h"
#include "startup/main_state.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class IdlePump : public bdlogic::EventPump {
public:
    std::uint32_t tickCount() override { return 0; }
    void processEvents() override {}
    void waitForEvents(std::uint32_t) override {}
};

std::vector<bdlogic::GlucoseRecord> Readings(std::int64_t count) {
    std::vector<bdlogic::GlucoseRecord> records(static_cast<std::size_t>(count));
    const double first = bdlogic::OleDate(2020, 1, 1).value();
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto& r = records[i];
        r.DATE = first + static_cast<double>(i / 8);
        r.TIME = bdlogic::OleTime(static_cast<int>(i % 8) * 3, 15).value();
        r.BG = static_cast<std::int16_t>(60 + i % 200);
        if (i % 10 == 0) r.COMMENT = QStringLiteral("after|meal");
    }
    return records;
}

void ExportGlucoseRecords(benchmark::State& state) {
    const auto records = Readings(state.range(0));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("03122026231507.00042"));
    bdlogic::ImportHeader header;
    header.ImportFrom = QStringLiteral("BD Logic");
    header.ImportID = QStringLiteral("LOGIC-0815");
    header.ImportType = 64;
    header.ImportDate = bdlogic::OleDate(2026, 12, 3).value();
    header.ImportTime = bdlogic::OleTime(23, 15, 7).value();
    bdlogic::ProfileFile profile;
    IdlePump pump;
    const bdlogic::ExportContext context{profile, pump, header.ImportDate + header.ImportTime};
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file);
        state.ResumeTiming();
        benchmark::DoNotOptimize(bdlogic::ExportGlucose(file, header, records, context));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(ExportGlucoseRecords)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

void ExportRunGlucose(benchmark::State& state) {
    bdlogic::MeterRecords records;
    records.glucose = Readings(state.range(0));
    QTemporaryDir dir;
    bdlogic::MainState main;
    main.sImportDir = dir.path() + QLatin1Char('/');
    main.iPatientID = 42;
    main.sDriverName = QStringLiteral("BD Logic");
    main.sMeterID = QStringLiteral("LOGIC-0815");
    main.iUniqueImportID = 64;
    const QDateTime moment(QDate(2026, 12, 3), QTime(23, 15, 7));
    const QString file = bdlogic::ImportFilePath(main.sImportDir, main.iPatientID, moment);
    bdlogic::ProfileFile profile;
    IdlePump pump;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file);
        state.ResumeTiming();
        benchmark::DoNotOptimize(bdlogic::WriteImportFile(main, records, moment, profile, pump));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(ExportRunGlucose)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
