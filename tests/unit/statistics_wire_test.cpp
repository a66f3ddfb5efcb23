#include <gtest/gtest.h>

#include "connection_reply_builder.h"
#include "core/wire_read.h"
#include "stats/statistics_wire.h"

namespace {

ConnectionSpec Conn(uint32_t id, const std::u16string& name, uint64_t counterBase = 0)
{
    ConnectionSpec c;
    c.id = id;
    c.name = name;
    c.counterBase = counterBase;
    return c;
}

GroupSpec Group(uint32_t idA, uint32_t idB, const std::u16string& name, std::vector<ConnectionSpec> connections)
{
    GroupSpec g;
    g.idA = idA;
    g.idB = idB;
    g.name = name;
    g.opaqueA = {1, 2, 3};
    g.opaqueB = {4, 5, 6, 7, 8};
    g.connections = connections;
    return g;
}

const std::vector<uint8_t> TwoGroups =
    BuildConnectionReply({Group(1, 10, u"G1", {Conn(11, u"c11", 1100), Conn(12, u"c12", 1200)}),
                          Group(2, 20, u"G2", {Conn(21, u"c21", 2100)})});

std::vector<ConnectionEntry> Decode(const std::vector<uint8_t>& reply)
{
    std::vector<ConnectionEntry> entries;
    EXPECT_TRUE(DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries));
    return entries;
}

std::u16string Names(const std::vector<ConnectionEntry>& entries)
{
    std::u16string names;
    for (const ConnectionEntry& e : entries)
        names += std::u16string(e.name.begin(), e.name.end()) + (e.isGroup ? u"* " : u" ");
    return names;
}

bool Read(const std::vector<uint8_t>& reply, ConnectionEntry* entry, size_t cut = 0)
{
    return ReadEntryStatistics(reply.data(), uint32_t(reply.size() - cut), entry);
}

// The combo lists the reply reversed, each group below its connections, and
// every entry then finds the counters after its own name.
TEST(ConnectionList, ReversedWithGroupsBelowAndCountersFoundPerEntry)
{
    std::vector<ConnectionEntry> entries = Decode(TwoGroups);
    EXPECT_EQ(u"c21 G2* c12 c11 G1* ", Names(entries));
    ConnectionEntry c12 = entries[2], c11 = entries[3], g1 = entries[4];
    ASSERT_TRUE(Read(TwoGroups, &c11) && Read(TwoGroups, &c12) && Read(TwoGroups, &g1));
    EXPECT_EQ(1100u, c11.statistics.counters.value[0]);
    EXPECT_EQ(1221u, c12.statistics.counters.value[21]);
    EXPECT_EQ(0u, g1.statistics.counters.value[0]);
}

TEST(ConnectionList, NamelessRecordsAreNotListedButStillWalked)
{
    GroupSpec sized0 = Group(2, 2, u"gone", {Conn(6, u"under sized0")});
    sized0.nameSizeZero = true;
    ConnectionSpec nameless = Conn(7, u"x");
    nameless.nameSizeZero = true;
    GroupSpec last = Group(3, 3, u"G3", {nameless, Conn(8, u""), Conn(9, u"c9")});
    EXPECT_EQ(u"c9 G3* ",
              Names(Decode(BuildConnectionReply({Group(1, 1, u"", {Conn(5, u"under hidden")}), sized0, last}, false))));
    EXPECT_TRUE(Decode(BuildConnectionReply({})).empty());
}

TEST(ConnectionList, AnyCutFailsTheWalkAndTheRecordRead)
{
    std::vector<ConnectionEntry> entries;
    for (uint32_t size = 0; size < TwoGroups.size(); ++size) {
        EXPECT_FALSE(DecodeConnectionList(TwoGroups.data(), size, &entries)) << size;
        EXPECT_TRUE(entries.empty());
    }
    ConnectionEntry c21 = Decode(TwoGroups)[0];
    EXPECT_FALSE(Read(TwoGroups, &c21, 1));  // whole only at the very end
    EXPECT_TRUE(Read(TwoGroups, &c21));
    ConnectionEntry missing = c21;
    missing.connectionId = 22;
    EXPECT_FALSE(Read(TwoGroups, &missing));
    EXPECT_FALSE(Read(BuildConnectionReply({Group(2, 20, u"G2", {Conn(21, u"c21")})}, false), &c21));
    EXPECT_FALSE(Read(BuildConnectionReply({}), &c21));
}

TEST(EntryStatistics, FieldsComeFromTheirOwnOffsetsAndTheAggregateCarriesTheTotal)
{
    ConnectionSpec c = Conn(42, u"dial-up");
    c.summaryTime = 0x1122334455667788ull;
    c.statusUnknown = c.removalPending = 1;
    c.linkSpeed = 0xA1A2A3A4;
    c.receiveRate = 0xB1B2B3B4;
    c.sendRate = 0xC1C2C3C4;
    c.removalTime = 0x0102030405060708ull;
    GroupSpec g = Group(7, 8, u"G", {Conn(41, u"before"), c});
    g.values = c;
    std::vector<uint8_t> reply = BuildConnectionReply({g});
    for (ConnectionEntry e : Decode(reply)) {
        if (e.connectionId == 41)
            continue;
        ASSERT_TRUE(Read(reply, &e));
        const EntryStatistics& s = e.statistics;
        EXPECT_EQ(std::vector<uint64_t>({s.summaryTime, s.linkSpeed, s.receiveRate, s.sendRate, s.removalTime}),
                  std::vector<uint64_t>({c.summaryTime, c.linkSpeed, c.receiveRate, c.sendRate, c.removalTime}));
        EXPECT_EQ(3, s.connected + s.statusUnknown + s.removalPending);
    }

    reply = BuildConnectionReply({Group(0, AggregateGroupId, u"All", {}), Group(1, 2, u"G", {})}, true, 9, 1);
    ConnectionEntry other = Decode(reply)[0], all = Decode(reply)[1];
    ASSERT_TRUE(Read(reply, &all) && Read(reply, &other));
    EXPECT_EQ(1, all.statistics.isAggregate);
    EXPECT_EQ(9u, all.statistics.aggregateCount);
    EXPECT_EQ(0, other.statistics.isAggregate);
    reply[12] = 0;  // without the reply's HasAggregate it is an ordinary group
    ASSERT_TRUE(Read(reply, &all));
    EXPECT_EQ(0u, all.statistics.aggregateCount);
}

TEST(InterfaceStatistics, ShortReplyIsRefusedAndSumsStayIn64Bits)
{
    uint64_t w[27] = {1, 2, 3, 4, 5}, *c = w + 5;  // five fields, then the counters
    const uint64_t big = 0x100000000ull;
    c[3] = c[4] = big;
    c[7] = 1;
    c[9] = 10;
    c[1] = 77;
    c[20] = 20;
    c[12] = 88;
    const uint8_t* reply = reinterpret_cast<const uint8_t*>(w);
    InterfaceStatistics s;
    EXPECT_FALSE(DecodeInterfaceStatistics(reply, 215, &s));
    ASSERT_TRUE(DecodeInterfaceStatistics(reply, 216, &s));
    EXPECT_EQ(std::vector<uint64_t>({s.created, s.lastCleared, s.summaryTime, s.lastModified, s.numberOfConnections}),
              std::vector<uint64_t>(w, w + 5));
    EXPECT_EQ(2 * big + 11, ReceivedBytes(s.counters, false));
    EXPECT_EQ(2 * big + 1, ReceivedBytes(s.counters, true));
    EXPECT_EQ(20u, SentBytes(s.counters, false));
    EXPECT_EQ(0u, SentBytes(s.counters, true));
    EXPECT_EQ(77u, ReceivedPackets(s.counters));
    EXPECT_EQ(88u, SentPackets(s.counters));
    EXPECT_EQ(std::vector<uint8_t>({6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}), BuildNamedInterfaceQuery(u"ab"));
}

// An idle tick writes nothing; a change writes only its own field, and
// hardware header bytes count only while they are shown.
TEST(InterfaceStatistics, TickWritesOnlyTheFieldsThatChanged)
{
    InterfaceStatistics was = {};
    was.created = 10;
    was.summaryTime = 500;
    was.counters.value[3] = 1000;
    InterfaceStatistics now = was;
    EXPECT_EQ(uint32_t(OverallAll), ChangedOverallFields(now, nullptr, false));
    EXPECT_EQ(0u, ChangedOverallFields(now, &was, false));
    now.summaryTime = 501;
    EXPECT_EQ(uint32_t(OverallSummary), ChangedOverallFields(now, &was, false));
    now = was;
    now.counters.value[20] = 7;  // sent hardware header bytes
    EXPECT_EQ(uint32_t(OverallSent), ChangedOverallFields(now, &was, false));
    EXPECT_EQ(0u, ChangedOverallFields(now, &was, true));
    now = was;
    now.counters.value[1] = 1;  // received packets
    now.lastCleared = 11;
    EXPECT_EQ(uint32_t(OverallReceived | OverallLastCleared), ChangedOverallFields(now, &was, true));
}

}  // namespace
