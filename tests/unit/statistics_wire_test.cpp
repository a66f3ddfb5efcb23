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
    EXPECT_EQ(1u, c12.groupIdA);
    EXPECT_EQ(10u, c12.groupIdB);
    EXPECT_EQ(12u, c12.connectionId);
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
    ConnectionEntry c21 = {};
    c21.groupIdA = 2;
    c21.groupIdB = 20;
    c21.connectionId = 21;
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
    ConnectionEntry entries[2] = {};
    entries[0].groupIdA = entries[1].groupIdA = 7;
    entries[0].groupIdB = entries[1].groupIdB = 8;
    entries[0].isGroup = true;
    entries[1].connectionId = 42;
    for (ConnectionEntry& e : entries) {
        ASSERT_TRUE(Read(reply, &e));
        const EntryStatistics& s = e.statistics;
        EXPECT_EQ(c.summaryTime, s.summaryTime);
        EXPECT_EQ(3, s.connected + s.statusUnknown + s.removalPending);
        EXPECT_EQ(c.linkSpeed, s.linkSpeed);
        EXPECT_EQ(c.receiveRate, s.receiveRate);
        EXPECT_EQ(c.sendRate, s.sendRate);
        EXPECT_EQ(c.removalTime, s.removalTime);
    }

    reply = BuildConnectionReply({Group(0, AggregateGroupId, u"All", {}), Group(1, 2, u"G", {})}, true, 9, 1);
    ConnectionEntry all = {}, other = {};
    all.isGroup = other.isGroup = true;
    all.groupIdB = AggregateGroupId;
    other.groupIdA = 1;
    other.groupIdB = 2;
    ASSERT_TRUE(Read(reply, &all) && Read(reply, &other));
    EXPECT_EQ(1, all.statistics.isAggregate);
    EXPECT_EQ(9u, all.statistics.aggregateCount);
    EXPECT_EQ(0, other.statistics.isAggregate);
    reply[12] = 0;  // without the reply's HasAggregate it is an ordinary group
    ASSERT_TRUE(Read(reply, &all));
    EXPECT_EQ(0u, all.statistics.aggregateCount);
}

TEST(ConnectionQuery, FlagsIdsAndNameSitWhereTheServiceReadsThem)
{
    Text16 name = TEXT16("LAN");
    std::vector<uint8_t> list = BuildConnectionListQuery(name);
    ASSERT_EQ(32u + 8u, list.size());
    EXPECT_EQ(0xF7Fu, ReadU32(&list[0]));
    EXPECT_EQ(8u, ReadU32(&list[12]));
    EXPECT_EQ('L', list[32]);
    EXPECT_EQ(0, list[38] | list[39]);

    ConnectionEntry group = {};
    group.isGroup = true;
    group.groupIdA = 5;
    group.groupIdB = 6;
    group.connectionId = 99;
    ConnectionEntry connection = group;
    connection.isGroup = false;
    std::vector<uint8_t> q = BuildConnectionStatisticsQuery(name, group, ClearNone);
    EXPECT_EQ(5u, ReadU32(&q[4]));
    EXPECT_EQ(6u, ReadU32(&q[8]));
    EXPECT_EQ(0u, ReadU32(&q[28]));
    EXPECT_EQ(99u, ReadU32(&BuildConnectionStatisticsQuery(name, connection, ClearNone)[28]));
    const struct {
        const ConnectionEntry* entry;
        PendingCurrentClear clear;
        uint32_t flags;
    } rows[] = {{&group, ClearNone, 0x79F},
                {&group, ClearThisEntry, 0x179F},
                {&connection, ClearThisEntry, 0x251F},
                {&connection, ClearAllCurrent, 0xC51F}};
    for (const auto& row : rows)
        EXPECT_EQ(row.flags, ReadU32(&BuildConnectionStatisticsQuery(name, *row.entry, row.clear)[0])) << row.flags;
}

TEST(InterfaceStatistics, ShortReplyIsRefusedAndSumsStayIn64Bits)
{
    std::vector<uint8_t> reply(216, 0);
    auto put64 = [&](size_t at, uint64_t v) {
        for (int i = 0; i < 8; ++i)
            reply[at + i] = uint8_t(v >> (8 * i));
    };
    for (int field = 0; field < 5; ++field)
        put64(8 * field, field + 1);
    const uint64_t big = 0x100000000ull;
    const uint64_t counters[][2] = {{3, big}, {4, big}, {7, 1}, {9, 10}, {1, 77}, {20, 20}, {12, 88}};
    for (const auto& c : counters)
        put64(40 + 8 * c[0], c[1]);
    InterfaceStatistics s;
    EXPECT_FALSE(DecodeInterfaceStatistics(reply.data(), 215, &s));
    ASSERT_TRUE(DecodeInterfaceStatistics(reply.data(), 216, &s));
    EXPECT_EQ(1u, s.created);
    EXPECT_EQ(2u, s.lastCleared);
    EXPECT_EQ(3u, s.summaryTime);
    EXPECT_EQ(4u, s.lastModified);
    EXPECT_EQ(5u, s.numberOfConnections);
    EXPECT_EQ(2 * big + 11, ReceivedBytes(s.counters, false));
    EXPECT_EQ(2 * big + 1, ReceivedBytes(s.counters, true));
    EXPECT_EQ(20u, SentBytes(s.counters, false));
    EXPECT_EQ(0u, SentBytes(s.counters, true));
    EXPECT_EQ(77u, ReceivedPackets(s.counters));
    EXPECT_EQ(88u, SentPackets(s.counters));
    EXPECT_EQ(std::vector<uint8_t>({6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}), BuildNamedInterfaceQuery(TEXT16("ab")));
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
