// The result page with a large glucose memory: building the readings' model, painting the chart, and the
// whole step from the last Next until the page stands painted (the download and export scripted), so that the
// chart can be seen to cost the page nothing a user would notice.
#include "support/services_fixture.h"
#include "wizard/fake_import_steps.h"
#include "wizard/readings_chart.h"
#include "wizard/ziv_uvivodu.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace bdlogic {
namespace {

constexpr double kFirstDay = 45292; // 1 January 2024

// `count` readings over 30 days with a meal and an insulin dose every day, as a download leaves them.
MeterRecords Records(std::int64_t count) {
    MeterRecords r;
    r.glucose.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < r.glucose.size(); ++i) {
        GlucoseRecord& g = r.glucose[i];
        const double when = kFirstDay + 30.0 * static_cast<double>(i) / static_cast<double>(count);
        g.DATE = static_cast<double>(static_cast<long long>(when));
        g.TIME = when - g.DATE;
        g.BG = static_cast<std::int16_t>(60 + (i * 37) % 240);
    }
    r.iGlucoseLast = r.iGlucoseLastRead = static_cast<int>(count) - 1;
    for (int day = 0; day < 30; ++day) {
        r.insulin.push_back({});
        r.insulin.back().DATE = kFirstDay + day;
        r.insulin.back().TIME = 0.3;
        r.intakes.push_back({});
        r.intakes.back().DATE = kFirstDay + day;
        r.intakes.back().TIME = 0.5;
    }
    r.iInsulinLast = r.iIntakesLast = 29;
    return r;
}

void BuildReadings(benchmark::State& state) {
    const MeterRecords records = Records(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DownloadReadings(records));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BuildReadings)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

// The chart at the size it has on the result page, painted into an image.
void PaintChart(benchmark::State& state) {
    ReadingsChart chart;
    chart.resize(410, 100);
    chart.setReadings(DownloadReadings(Records(state.range(0))), {});
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        chart.render(&image);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(PaintChart)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

// From the Next that starts the download until the result page has been painted.
void ResultPageAppears(benchmark::State& state) {
    test::FakeWorld world;
    world.useEchoLanguage();
    test::BdLogicOnCom3(world.state);
    test::FakeImportSteps steps;
    steps.records = Records(state.range(0));
    steps.produced = static_cast<int>(state.range(0)) + 60;
    for (auto _ : state) {
        state.PauseTiming();
        ZivUVIvodu window(world.services, steps, {});
        window.Go();
        auto* next = window.findChild<QPushButton*>(QStringLiteral("cmdNext"));
        next->click();
        next->click();
        QApplication::processEvents();
        state.ResumeTiming();
        next->click();
        benchmark::DoNotOptimize(window.grab());
        state.PauseTiming();
        window.Unload();
        state.ResumeTiming();
    }
}
BENCHMARK(ResultPageAppears)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace bdlogic

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
