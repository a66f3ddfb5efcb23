#include <benchmark/benchmark.h>

#include "bench_diagram.h"

namespace {

void Tick(benchmark::State& state, int32_t clientWidth)
{
    BenchDiagram b(clientWidth, DefaultClientHeight);
    const uint32_t cursor = b.d.columnCursor;
    uint64_t ticks = 0;
    for (auto _ : state) {
        b.Tick();
        ++ticks;
    }
    // A full redraw would have put the cursor back to 0.
    if (b.d.columnCursor != (cursor + ticks) % b.d.areaWidth)
        state.SkipWithError("a tick fell back to a full redraw");
    state.counters["columns"] = b.d.areaWidth;
    state.counters["rows"] = b.d.areaHeight;
}

void BM_TickDefault(benchmark::State& state)
{
    Tick(state, DefaultClientWidth);
}

void BM_Tick1000Columns(benchmark::State& state)
{
    Tick(state, 1000);
}

void BM_FullRedrawDefault(benchmark::State& state)
{
    BenchDiagram b(DefaultClientWidth, DefaultClientHeight);
    for (auto _ : state) {
        RedrawDiagram(&b.d, false);
        benchmark::ClobberMemory();
    }
}

void BM_BareColumnDefault(benchmark::State& state)
{
    BenchDiagram b(DefaultClientWidth, DefaultClientHeight);
    uint32_t x = 0, value = 0;
    for (auto _ : state) {
        WriteBareColumn(b.image.data(), b.d.areaWidth, b.d.areaHeight, x, ++value);
        benchmark::ClobberMemory();
        if (++x == b.d.areaWidth)
            x = 0;
    }
}

}  // namespace

BENCHMARK(BM_TickDefault);
BENCHMARK(BM_Tick1000Columns);
BENCHMARK(BM_FullRedrawDefault);
BENCHMARK(BM_BareColumnDefault);
BENCHMARK_MAIN();
