// Runs the measured work in functions of their own, so that callgrind can
// count just them (--toggle-collect=Measured*).
//   diagram_tick_count <ticks | redraws | columns> <count>
//   diagram_tick_count compare <rounds>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

#include "bench_diagram.h"

extern "C" {

__attribute__((noinline)) void MeasuredTicks(BenchDiagram* b, int count)
{
    for (int i = 0; i < count; ++i)
        b->Tick();
}

__attribute__((noinline)) void MeasuredRedraws(BenchDiagram* b, int count)
{
    for (int i = 0; i < count; ++i)
        RedrawDiagram(&b->d, false);
}

__attribute__((noinline)) void MeasuredColumns(BenchDiagram* b, int count)
{
    for (int i = 0; i < count; ++i)
        WriteBareColumn(b->image.data(), b->d.areaWidth, b->d.areaHeight, uint32_t(i) % b->d.areaWidth, uint32_t(i));
}
}

// Ticks and bare columns in alternating batches, best batch of each, so
// that a busy machine slows both alike.
static void CompareInterleaved(BenchDiagram* b, int rounds)
{
    using Clock = std::chrono::steady_clock;
    const int batch = 20000;
    double bestTick = 1e30, bestColumn = 1e30;
    for (int r = 0; r < rounds; ++r) {
        Clock::time_point t0 = Clock::now();
        MeasuredTicks(b, batch);
        Clock::time_point t1 = Clock::now();
        MeasuredColumns(b, batch);
        Clock::time_point t2 = Clock::now();
        bestTick = std::min(bestTick, std::chrono::duration<double, std::nano>(t1 - t0).count() / batch);
        bestColumn = std::min(bestColumn, std::chrono::duration<double, std::nano>(t2 - t1).count() / batch);
    }
    std::printf("interleaved best: tick %.1f ns, bare column %.1f ns, ratio %.2f\n", bestTick, bestColumn,
                bestTick / bestColumn);
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int count = std::atoi(argv[2]);
    BenchDiagram b(DefaultClientWidth, DefaultClientHeight);
    if (std::strcmp(argv[1], "ticks") == 0)
        MeasuredTicks(&b, count);
    else if (std::strcmp(argv[1], "redraws") == 0)
        MeasuredRedraws(&b, count);
    else if (std::strcmp(argv[1], "columns") == 0)
        MeasuredColumns(&b, count);
    else if (std::strcmp(argv[1], "compare") == 0)
        CompareInterleaved(&b, count);
    else
        return 2;
    std::printf("%u\n", b.image[b.image.size() / 2]);  // keeps the work observable
    return 0;
}
