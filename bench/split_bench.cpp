// Splitting long texts: a button text at "|" (SplitText), and the field splitter at "|" and at CR LF as the
// command line and the meter's answers are split. Both must stay linear in the length of the text, whatever a
// language pack or a meter holds.
#include "startup/common_code.h"
#include "startup/field_splitter.h"

#include <benchmark/benchmark.h>

namespace {

QString Parts(std::int64_t count, const QString& separator) {
    return (QStringLiteral("ab") + separator).repeated(static_cast<qsizetype>(count));
}

void SplitTextAtBars(benchmark::State& state) {
    const QString text = Parts(state.range(0), QStringLiteral("|"));
    for (auto _ : state) {
        QStringList parts;
        benchmark::DoNotOptimize(bdlogic::SplitText(text, parts, u'|'));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Split, then every field read once, as the callers do.
void FieldSplitterAt(benchmark::State& state, const QString& separator) {
    const QString text = Parts(state.range(0), separator);
    bdlogic::FieldSplitter fields(separator);
    for (auto _ : state) {
        fields.setText(text);
        qsizetype chars = 0;
        for (qsizetype n = 1; n <= fields.count(); ++n) chars += fields.field(n).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(SplitTextAtBars)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FieldSplitterAt, bars, QStringLiteral("|"))
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FieldSplitterAt, line_ends, QStringLiteral("\r\n"))
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
