#include <gtest/gtest.h>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

RecordSpec Card(const std::u16string& name, const std::u16string& id = u"{1}", uint32_t flags = IfSupported | IfBound)
{
    RecordSpec r;
    r.flags = flags;
    r.name = name;
    r.part2 = {1, 2, 3, 4};
    r.part3 = {5, 6};
    r.id = id;
    return r;
}

std::u16string Names(InterfaceListReader reader, const std::vector<uint8_t>& reply, uint32_t size = ~0u)
{
    std::vector<InterfaceEntry> entries;
    DecodeInterfaceList(reader, StatusSuccess, reply.data(), std::min(size, uint32_t(reply.size())), &entries);
    std::u16string names;
    for (const InterfaceEntry& e : entries)
        names += e.name + u"|" + e.id + u" ";
    return names;
}

TEST(InterfaceListReply, StatusAndSizeDecideBeforeAnyRecordIsRead)
{
    RecordSpec tiny;  // a one-character name and nothing else: 24 + 4 bytes
    tiny.name = u"A";
    const std::vector<uint8_t> good = BuildInterfaceList({tiny});
    const struct {
        ServiceStatus status;
        uint32_t size;
        InterfaceListOutcome outcome;
    } rows[] = {
        {StatusNotStarted, 36, ListNotStarted},
        {StatusWrongVersion, 36, ListWrongVersion},
        {StatusAccessDenied, 36, ListServiceError},
        // A successful answer too short for the header means another version.
        {StatusSuccess, 7, ListWrongVersion},
        {StatusSuccess, 32, ListEmpty},
        {StatusSuccess, 33, ListHasRecords},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.outcome, CheckInterfaceListReply(r.status, good.data(), r.size)) << r.status << " " << r.size;
    EXPECT_EQ(ListWrongVersion, CheckInterfaceListReply(StatusSuccess, nullptr, 0));
    std::vector<uint8_t> none = BuildInterfaceList({Card(u"LAN")}, 0);
    std::vector<InterfaceEntry> entries;
    EXPECT_EQ(ListEmpty,
              DecodeInterfaceList(ReaderTrayMenu, StatusSuccess, none.data(), uint32_t(none.size()), &entries));
    EXPECT_TRUE(entries.empty());
}

TEST(InterfaceListReply, EachReaderKeepsOnlyTheRecordsItNeedsInReplyOrder)
{
    RecordSpec noPart3 = Card(u"NoThird", u"{3}", 0x07);
    noPart3.part3.clear();
    const std::vector<uint8_t> reply =
        BuildInterfaceList({Card(u"", u"{0}"), noPart3, Card(u"NoId", u""), Card(u"Gigabit(R) LAN/1000", u"{F}")});
    // The nameless record is skipped by everyone, yet its size still leads
    // the walk to the records behind it.
    for (InterfaceListReader reader :
         {ReaderTrayMenu, ReaderStatisticsWindow, ReaderInterfacesPage, ReaderMovementsPage})
        EXPECT_EQ(u"NoThird|{3} NoId| Gigabit(R) LAN/1000|{F} ", Names(reader, reply)) << reader;
    EXPECT_EQ(u"NoId| Gigabit(R) LAN/1000|{F} ", Names(ReaderInterfaceRefresh, reply));
    EXPECT_EQ(u"NoThird|{3} Gigabit(R) LAN/1000|{F} ", Names(ReaderMonitorsPage, reply));
    std::vector<InterfaceEntry> entries;
    DecodeInterfaceList(ReaderTrayMenu, StatusSuccess, reply.data(), uint32_t(reply.size()), &entries);
    EXPECT_EQ(0x07u, entries[0].flags);
}

TEST(InterfaceListReply, BrokenSizesNeverLeadOutsideTheReply)
{
    RecordSpec zero = Card(u"Zero"), huge = Card(u"Huge"), longName = Card(u"Long"), shortName = Card(u"ABCD", u"");
    zero.recordSize = 0;  // would walk on the spot for ever
    huge.recordSize = 0x7FFFFFF0;
    longName.nameSize = 0xFFFFFFF0;
    shortName.nameSize = 4;  // two characters and no NUL inside the field
    EXPECT_EQ(u"First|{1} ", Names(ReaderTrayMenu, BuildInterfaceList({Card(u"First"), zero, Card(u"Third")})));
    EXPECT_EQ(u"First|{1} ", Names(ReaderTrayMenu, BuildInterfaceList({Card(u"First"), huge})));
    EXPECT_EQ(u"After|{1} ", Names(ReaderTrayMenu, BuildInterfaceList({longName, Card(u"After")})));
    EXPECT_EQ(u"AB| ", Names(ReaderTrayMenu, BuildInterfaceList({shortName})));
    EXPECT_EQ(u"Only|{1} ", Names(ReaderTrayMenu, BuildInterfaceList({Card(u"Only")}, 1000000)));
    // Every cut decodes without reading past it (the sanitizer watches).
    const std::vector<uint8_t> reply = BuildInterfaceList({Card(u"One"), Card(u"Two")});
    for (uint32_t cut = 0; cut <= reply.size(); ++cut) {
        std::vector<uint8_t> shorter(reply.begin(), reply.begin() + cut);
        EXPECT_LE(Names(ReaderTrayMenu, shorter).size(), 20u);
    }
}

TEST(InterfaceIcon, StateBitsPickTheImage)
{
    const uint32_t S = IfSupported, C = IfConnected, B = IfBound, A = IfBindingActive;
    const uint32_t rows[][2] = {{IfNotPresent | S | B, 6},
                                {S | C | B | A, 4},
                                {S | C | B, 11},
                                {S | C, 2},
                                {S | B | A, 5},
                                {S | B, 12},
                                {S, 3},
                                {C | B, 1},  // not supported: the bound bit means nothing
                                {0, 7}};
    for (const auto& r : rows)
        EXPECT_EQ(int(r[1]), InterfaceIconIndex(r[0])) << std::hex << r[0];
    EXPECT_EQ(InterfaceListMessageId(ListServiceError, IDS_NO_BOUND_ADAPTERS), unsigned(IDS_SERVICE_ERROR));
    // A list whose records all lack a name says the same as an empty one.
    EXPECT_EQ(InterfaceListMessageId(ListHasRecords, IDS_NO_INTERFACES), unsigned(IDS_NO_INTERFACES));
}

}  // namespace
