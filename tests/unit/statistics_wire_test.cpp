#include <gtest/gtest.h>

#include "connection_reply_builder.h"
#include "core/wire_read.h"
#include "stats/statistics_wire.h"

namespace {

Text16 T(const std::u16string& s)
{
    return Text16(s.begin(), s.end());
}

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

std::vector<uint8_t> TwoGroups()
{
    return BuildConnectionReply({Group(1, 10, u"G1", {Conn(11, u"c11", 1100), Conn(12, u"c12", 1200)}),
                                 Group(2, 20, u"G2", {Conn(21, u"c21", 2100)})});
}

std::vector<Text16> Names(const std::vector<ConnectionEntry>& entries)
{
    std::vector<Text16> names;
    for (const ConnectionEntry& e : entries)
        names.push_back(e.name);
    return names;
}

ConnectionEntry EntryFor(const std::vector<ConnectionEntry>& entries, const std::u16string& name)
{
    for (const ConnectionEntry& e : entries)
        if (e.name == T(name))
            return e;
    ADD_FAILURE() << "no entry";
    return ConnectionEntry();
}

TEST(ConnectionList, ComboShowsReplyReversedWithEachGroupBelowItsConnections)
{
    std::vector<uint8_t> reply = TwoGroups();
    std::vector<ConnectionEntry> entries;
    ASSERT_TRUE(DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries));
    std::vector<Text16> expected = {T(u"c21"), T(u"G2"), T(u"c12"), T(u"c11"), T(u"G1")};
    EXPECT_EQ(expected, Names(entries));
    ConnectionEntry c12 = EntryFor(entries, u"c12");
    EXPECT_FALSE(c12.isGroup);
    EXPECT_EQ(1u, c12.groupIdA);
    EXPECT_EQ(10u, c12.groupIdB);
    EXPECT_EQ(12u, c12.connectionId);
    EXPECT_TRUE(EntryFor(entries, u"G2").isGroup);
}

TEST(ConnectionList, NamelessRecordsAreNotListedButStillWalked)
{
    GroupSpec hidden = Group(1, 1, u"", {Conn(5, u"under hidden")});
    GroupSpec sized0 = Group(2, 2, u"gone", {Conn(6, u"under sized0")});
    sized0.nameSizeZero = true;
    ConnectionSpec nameless = Conn(7, u"x");
    nameless.nameSizeZero = true;
    GroupSpec last = Group(3, 3, u"G3", {nameless, Conn(8, u"")});
    last.connections.push_back(Conn(9, u"c9"));
    std::vector<uint8_t> reply = BuildConnectionReply({hidden, sized0, last}, false);
    std::vector<ConnectionEntry> entries;
    ASSERT_TRUE(DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries));
    std::vector<Text16> expected = {T(u"c9"), T(u"G3")};
    EXPECT_EQ(expected, Names(entries));
}

TEST(ConnectionList, AnyCutInsideARecordFailsTheWholeWalk)
{
    std::vector<uint8_t> reply = TwoGroups();
    std::vector<ConnectionEntry> entries;
    for (uint32_t size = 0; size < reply.size(); ++size) {
        std::vector<uint8_t> cut(reply.begin(), reply.begin() + size);
        EXPECT_FALSE(DecodeConnectionList(cut.data(), size, &entries)) << size;
        EXPECT_TRUE(entries.empty());
    }
    // No groups at all is a usable, empty list.
    std::vector<uint8_t> none = BuildConnectionReply({});
    EXPECT_TRUE(DecodeConnectionList(none.data(), uint32_t(none.size()), &entries));
    EXPECT_TRUE(entries.empty());
}

TEST(EntryStatistics, EachConnectionGetsTheCountersAfterItsOwnName)
{
    std::vector<uint8_t> reply = TwoGroups();
    std::vector<ConnectionEntry> entries;
    ASSERT_TRUE(DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries));
    ConnectionEntry c11 = EntryFor(entries, u"c11"), c12 = EntryFor(entries, u"c12"), g1 = EntryFor(entries, u"G1");
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &c11));
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &c12));
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &g1));
    EXPECT_EQ(1100u, c11.statistics.counters.value[0]);
    EXPECT_EQ(1221u, c12.statistics.counters.value[21]);
    EXPECT_EQ(0u, g1.statistics.counters.value[0]);
}

TEST(EntryStatistics, FieldsComeFromTheirOwnOffsets)
{
    ConnectionSpec c = Conn(42, u"dial-up");
    c.summaryTime = 0x1122334455667788ull;
    c.connected = 1;
    c.statusUnknown = 1;
    c.linkSpeed = 0xA1A2A3A4;
    c.receiveRate = 0xB1B2B3B4;
    c.sendRate = 0xC1C2C3C4;
    c.removalPending = 1;
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
        ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &e));
        EXPECT_EQ(c.summaryTime, e.statistics.summaryTime);
        EXPECT_EQ(1, e.statistics.connected);
        EXPECT_EQ(1, e.statistics.statusUnknown);
        EXPECT_EQ(c.linkSpeed, e.statistics.linkSpeed);
        EXPECT_EQ(c.receiveRate, e.statistics.receiveRate);
        EXPECT_EQ(c.sendRate, e.statistics.sendRate);
        EXPECT_EQ(1, e.statistics.removalPending);
        EXPECT_EQ(c.removalTime, e.statistics.removalTime);
    }
}

TEST(EntryStatistics, AggregateGroupCarriesTheConnectionTotal)
{
    std::vector<uint8_t> reply =
        BuildConnectionReply({Group(0, AggregateGroupId, u"All", {}), Group(1, 2, u"G", {})}, true, 9, 1);
    ConnectionEntry all = {};
    all.isGroup = true;
    all.groupIdB = AggregateGroupId;
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &all));
    EXPECT_EQ(1, all.statistics.isAggregate);
    EXPECT_EQ(9u, all.statistics.aggregateCount);
    ConnectionEntry other = {};
    other.isGroup = true;
    other.groupIdA = 1;
    other.groupIdB = 2;
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &other));
    EXPECT_EQ(0, other.statistics.isAggregate);
    // Without the reply's HasAggregate the same group is an ordinary one.
    reply[12] = 0;
    ASSERT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &all));
    EXPECT_EQ(0u, all.statistics.aggregateCount);
}

TEST(EntryStatistics, UnusableRepliesFail)
{
    std::vector<uint8_t> reply = TwoGroups();
    ConnectionEntry c21 = {};
    c21.groupIdA = 2;
    c21.groupIdB = 20;
    c21.connectionId = 21;
    // The record is whole only at the very end of the reply.
    EXPECT_FALSE(ReadEntryStatistics(reply.data(), uint32_t(reply.size() - 1), &c21));
    EXPECT_TRUE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &c21));
    ConnectionEntry missing = c21;
    missing.connectionId = 22;
    EXPECT_FALSE(ReadEntryStatistics(reply.data(), uint32_t(reply.size()), &missing));
    std::vector<uint8_t> bare = BuildConnectionReply({Group(2, 20, u"G2", {Conn(21, u"c21")})}, false);
    EXPECT_FALSE(ReadEntryStatistics(bare.data(), uint32_t(bare.size()), &c21));
    std::vector<uint8_t> none = BuildConnectionReply({});
    EXPECT_FALSE(ReadEntryStatistics(none.data(), uint32_t(none.size()), &c21));
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
    std::vector<uint8_t> q = BuildConnectionStatisticsQuery(name, group, ClearNone);
    EXPECT_EQ(0x51Fu + 0x280u, ReadU32(&q[0]));
    EXPECT_EQ(5u, ReadU32(&q[4]));
    EXPECT_EQ(6u, ReadU32(&q[8]));
    EXPECT_EQ(0u, ReadU32(&q[28]));
    EXPECT_EQ(0x51Fu + 0x280u + 0x1000u, ReadU32(&BuildConnectionStatisticsQuery(name, group, ClearThisEntry)[0]));

    ConnectionEntry connection = group;
    connection.isGroup = false;
    q = BuildConnectionStatisticsQuery(name, connection, ClearThisEntry);
    EXPECT_EQ(0x51Fu + 0x2000u, ReadU32(&q[0]));
    EXPECT_EQ(99u, ReadU32(&q[28]));
    EXPECT_EQ(0x51Fu + 0xC000u, ReadU32(&BuildConnectionStatisticsQuery(name, connection, ClearAllCurrent)[0]));
}

TEST(InterfaceStatistics, ShortReplyIsRefusedAndSumsStayIn64Bits)
{
    std::vector<uint8_t> reply(216, 0);
    auto put64 = [&](size_t at, uint64_t v) {
        for (int i = 0; i < 8; ++i)
            reply[at + i] = uint8_t(v >> (8 * i));
    };
    put64(0, 1);
    put64(8, 2);
    put64(16, 3);
    put64(24, 4);
    put64(32, 5);
    const uint64_t big = 0x100000000ull;
    put64(40 + 8 * 3, big);
    put64(40 + 8 * 4, big);
    put64(40 + 8 * 7, 1);
    put64(40 + 8 * 9, 10);
    put64(40 + 8 * 1, 77);
    put64(40 + 8 * 20, 20);
    put64(40 + 8 * 12, 88);
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

    std::vector<uint8_t> named = BuildNamedInterfaceQuery(TEXT16("ab"));
    std::vector<uint8_t> expected = {6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0};
    EXPECT_EQ(expected, named);
}

}  // namespace

// A tick of an idle interface must write nothing; a change writes only its
// own field, and hardware header bytes count only while they are shown.
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
