#include "connection_reply_builder.h"

#include "reply_builder.h"

static void AppendU64(std::vector<uint8_t>* b, uint64_t v)
{
    AppendU32(b, uint32_t(v));
    AppendU32(b, uint32_t(v >> 32));
}

static uint32_t NameBytes(const std::u16string& name, bool zero)
{
    return zero ? 0 : uint32_t((name.size() + 1) * 2);
}

static void AppendName(std::vector<uint8_t>* b, const std::u16string& name, bool zero)
{
    if (!zero)
        AppendText(b, name);
}

static void AppendCounters(std::vector<uint8_t>* b, uint64_t base, bool withCounters)
{
    if (withCounters)
        for (uint64_t i = 0; i < 22; ++i)
            AppendU64(b, base + i);
}

std::vector<uint8_t> BuildConnectionReply(const std::vector<GroupSpec>& groups, bool withCounters,
                                          uint32_t connectionTotal, uint8_t hasAggregate)
{
    std::vector<uint8_t> b = {uint8_t(withCounters ? 1 : 0), 0, 0, 0};
    AppendU32(&b, connectionTotal);
    AppendU32(&b, uint32_t(groups.size()));
    b.push_back(hasAggregate);
    for (const GroupSpec& g : groups) {
        const ConnectionSpec& v = g.values;
        AppendU32(&b, 0xDEADBEEF);  // RecordSize: never followed
        AppendU32(&b, uint32_t(g.opaqueA.size()));
        AppendU32(&b, uint32_t(g.opaqueB.size()));
        AppendU32(&b, NameBytes(g.name, g.nameSizeZero));
        AppendU32(&b, g.idA);
        AppendU32(&b, g.idB);
        AppendU64(&b, 0);
        AppendU64(&b, v.summaryTime);
        b.push_back(v.connected);
        b.push_back(v.statusUnknown);
        AppendU32(&b, v.linkSpeed);
        AppendU32(&b, v.receiveRate);
        AppendU32(&b, v.sendRate);
        AppendU32(&b, uint32_t(g.connections.size()));
        b.push_back(v.removalPending);
        AppendU64(&b, v.removalTime);
        b.insert(b.end(), g.opaqueA.begin(), g.opaqueA.end());
        b.insert(b.end(), g.opaqueB.begin(), g.opaqueB.end());
        AppendName(&b, g.name, g.nameSizeZero);
        AppendCounters(&b, v.counterBase, withCounters);
        for (const ConnectionSpec& c : g.connections) {
            AppendU64(&b, 0);
            AppendU32(&b, c.id);
            AppendU64(&b, 0);
            AppendU64(&b, c.summaryTime);
            b.push_back(c.connected);
            b.push_back(c.statusUnknown);
            AppendU32(&b, c.linkSpeed);
            AppendU32(&b, c.receiveRate);
            AppendU32(&b, c.sendRate);
            b.push_back(c.removalPending);
            AppendU64(&b, c.removalTime);
            AppendU32(&b, NameBytes(c.name, c.nameSizeZero));
            AppendName(&b, c.name, c.nameSizeZero);
            AppendCounters(&b, c.counterBase, withCounters);
        }
    }
    return b;
}
