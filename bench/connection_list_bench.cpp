// Decoding the connection list of a busy interface: the statistics window's
// worker does it on every re-listing, and the window waits for it.
#include "stats/statistics_wire.h"

#include "reply_builder.h"

#include <benchmark/benchmark.h>

static std::vector<uint8_t> BusyReply(int groups, int perGroup)
{
    std::vector<GroupSpec> specs(groups);
    uint32_t id = 1;
    for (int g = 0; g < groups; ++g) {
        specs[g].idA = uint32_t(g + 1);
        specs[g].idB = uint32_t(g + 100);
        specs[g].name = u"Process " + std::u16string(1, char16_t(u'A' + g % 26)) + u".exe";
        for (int c = 0; c < perGroup; ++c) {
            ConnectionSpec connection;
            connection.id = id++;
            connection.name =
                u"TCP 192.168.1.20:" + std::u16string(1, char16_t(u'0' + c % 10)) + u" -> 203.0.113.7:443";
            connection.counterBase = uint64_t(id) << 32;
            specs[g].connections.push_back(connection);
        }
    }
    return BuildConnectionReply(specs, false);
}

static void DecodeTenThousandConnections(benchmark::State& state)
{
    const std::vector<uint8_t> reply = BusyReply(100, 100);
    size_t count = 0;
    for (auto _ : state) {
        // A fresh list each time, as the window's worker keeps the old one
        // until the new one is whole.
        std::vector<ConnectionEntry> entries;
        bool ok = DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries);
        benchmark::DoNotOptimize(ok);
        count = entries.size();
    }
    state.counters["entries"] = double(count);
}
BENCHMARK(DecodeTenThousandConnections)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
