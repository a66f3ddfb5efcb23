#include <gtest/gtest.h>

#include "reply_builder.h"
#include "stats/statistics_wire.h"

namespace {

ConnectionSpec Conn(uint32_t id, std::u16string name, uint64_t counterBase = 0)
{
    ConnectionSpec c;
    c.id = id, c.name = name, c.counterBase = counterBase;
    return c;
}

GroupSpec Group(uint32_t idA, uint32_t idB, std::u16string name, std::vector<ConnectionSpec> connections = {})
{
    GroupSpec g;
    g.idA = idA, g.idB = idB, g.name = name, g.connections = connections;
    return g;
}

std::vector<ConnectionEntry> Decode(const std::vector<uint8_t>& reply)
{
    std::vector<ConnectionEntry> entries;
    EXPECT_TRUE(DecodeConnectionList(reply.data(), uint32_t(reply.size()), &entries));
    return entries;
}

std::u16string Names(const std::vector<uint8_t>& reply)
{
    std::u16string names;
    for (const ConnectionEntry& e : Decode(reply))
        names += e.name + (e.isGroup ? u"* " : u" ");
    return names;
}

bool Read(const std::vector<uint8_t>& reply, ConnectionEntry* entry)
{
    return ReadEntryStatistics(reply.data(), uint32_t(reply.size()), entry);
}

// The combo lists the reply reversed, each group below its connections, and
// every entry then finds the counters after its own name. A nameless record
// is walked but not listed, nor is anything under a nameless group; any cut
// fails the walk whole.
TEST(ConnectionList, OrderNamesAndCounters)
{
    const auto two = BuildConnectionReply({Group(1, 10, u"G1", {Conn(11, u"c11", 1100), Conn(12, u"c12", 1200)}),
                                           Group(2, 20, u"G2", {Conn(21, u"c21", 2100)})});
    std::vector<ConnectionEntry> e = Decode(two);
    EXPECT_EQ(Names(two), u"c21 G2* c12 c11 G1* ");
    ASSERT_TRUE(Read(two, &e[2]));
    EXPECT_EQ(e[2].statistics.counters.value[21], 1221u);

    GroupSpec sized0 = Group(2, 2, u"gone", {Conn(6, u"under sized0")});
    ConnectionSpec nameless = Conn(7, u"x");
    sized0.nameSizeZero = nameless.nameSizeZero = true;
    EXPECT_EQ(Names(BuildConnectionReply({Group(1, 1, u"", {Conn(5, u"under hidden")}), sized0,
                                          Group(3, 3, u"G3", {nameless, Conn(8, u""), Conn(9, u"c9")})},
                                         false)),
              u"c9 G3* ");
    // The list form carries no counters; an entry gone from the reply is not read.
    ConnectionEntry c21 = e[0];
    EXPECT_FALSE(Read(BuildConnectionReply({Group(2, 20, u"G2", {Conn(21, u"c21")})}, false), &c21));
    c21.connectionId = 22;
    EXPECT_FALSE(Read(two, &c21));
    for (uint32_t size = 0; size < two.size(); ++size)
        EXPECT_TRUE(!DecodeConnectionList(two.data(), size, &e) && e.empty()) << size;
}

// Each field's place is the statistics window's to show end to end; here
// the aggregate group's total, which only the reply's HasAggregate allows.
TEST(ConnectionList, AggregateTotal)
{
    auto reply = BuildConnectionReply({Group(0, AggregateGroupId, u"All"), Group(1, 2, u"G")}, true, 9, 1);
    ConnectionEntry all = Decode(reply)[1];
    ASSERT_TRUE(Read(reply, &all));
    EXPECT_TRUE(all.statistics.isAggregate && all.statistics.aggregateCount == 9);
    reply[12] = 0;
    ASSERT_TRUE(Read(reply, &all));
    EXPECT_EQ(all.statistics.aggregateCount, 0u);
}

// Sums stay in 64 bits. A change writes only its own field, and hardware
// header bytes count only while they are shown (the fuzz target checks that
// an idle tick writes nothing).
TEST(InterfaceStatistics, DecodeSumsAndChangedFields)
{
    // Five fields, then the counters.
    uint64_t w[27] = {1, 2, 3, 4, 5}, *c = w + 5;
    const uint64_t big = 0x100000000ull;
    c[3] = c[4] = big, c[7] = 1, c[9] = 10, c[1] = 77, c[20] = 20, c[12] = 88;
    InterfaceStatistics s;
    ASSERT_TRUE(DecodeInterfaceStatistics(reinterpret_cast<uint8_t*>(w), 216, &s));
    EXPECT_EQ(std::vector<uint64_t>({s.created, s.lastCleared, s.summaryTime, s.lastModified, s.numberOfConnections,
                                     ReceivedBytes(s.counters, false), ReceivedBytes(s.counters, true),
                                     SentBytes(s.counters, false), SentBytes(s.counters, true),
                                     ReceivedPackets(s.counters), SentPackets(s.counters)}),
              std::vector<uint64_t>({1, 2, 3, 4, 5, 2 * big + 11, 2 * big + 1, 20, 0, 77, 88}));
    EXPECT_EQ(BuildNamedInterfaceQuery(u"ab"), std::vector<uint8_t>({6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}));

    InterfaceStatistics was = {}, now;
    was.summaryTime = 500, was.counters.value[3] = 1000;
    now = was;
    now.summaryTime = 501;
    EXPECT_EQ(ChangedOverallFields(now, &was, false), uint32_t(OverallSummary));
    // Sent hardware header bytes.
    now = was, now.counters.value[20] = 7;
    EXPECT_EQ(ChangedOverallFields(now, &was, false), uint32_t(OverallSent));
    EXPECT_EQ(ChangedOverallFields(now, &was, true), 0u);
    // Received packets.
    now = was, now.counters.value[1] = 1, now.lastCleared = 11;
    EXPECT_EQ(ChangedOverallFields(now, &was, true), uint32_t(OverallReceived | OverallLastCleared));
}

}  // namespace
