#include <gtest/gtest.h>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

RecordSpec Card(const std::u16string& name, const std::u16string& id = u"{1}", uint32_t flags = IfSupported | IfBound)
{
    RecordSpec r;
    r.flags = flags, r.name = name, r.id = id, r.part2 = {1, 2, 3, 4}, r.part3 = {5, 6};
    return r;
}

std::u16string Names(const std::vector<uint8_t>& reply, InterfaceListReader reader = ReaderTrayMenu)
{
    std::vector<InterfaceEntry> entries;
    DecodeInterfaceList(reader, StatusSuccess, reply.data(), uint32_t(reply.size()), &entries);
    std::u16string names;
    for (const InterfaceEntry& e : entries)
        names += e.name + u"|" + e.id + (e.flags == 7 ? u"! " : u" ");
    return names;
}

// Status and size decide before any record is read: a successful answer too
// short for the header means another version.
TEST(InterfaceList, StatusSizeAndReaders)
{
    RecordSpec tiny;
    tiny.name = u"A";
    // A one-character name and nothing else: 24 + 4 bytes.
    const std::vector<uint8_t> good = BuildInterfaceList({tiny});
    const std::tuple<ServiceStatus, uint32_t, InterfaceListOutcome> rows[] = {
        {StatusNotStarted, 36, ListNotStarted},
        {StatusWrongVersion, 36, ListWrongVersion},
        {StatusAccessDenied, 36, ListServiceError},
        {StatusSuccess, 7, ListWrongVersion},
        {StatusSuccess, 32, ListEmpty},
        {StatusSuccess, 33, ListHasRecords}};
    for (const auto& r : rows)
        EXPECT_EQ(CheckInterfaceListReply(std::get<0>(r), good.data(), std::get<1>(r)), std::get<2>(r))
            << std::get<1>(r);
    std::vector<uint8_t> none = BuildInterfaceList({Card(u"LAN")}, 0);
    std::vector<InterfaceEntry> entries;
    EXPECT_EQ(DecodeInterfaceList(ReaderTrayMenu, StatusSuccess, none.data(), uint32_t(none.size()), &entries),
              ListEmpty);
    EXPECT_TRUE(entries.empty());

    // Each reader keeps only the records it needs, in reply order. The nameless
    // record is skipped by everyone, yet its size still leads the walk on.
    RecordSpec noPart3 = Card(u"NoThird", u"{3}", 0x07);
    noPart3.part3.clear();
    const std::vector<uint8_t> reply =
        BuildInterfaceList({Card(u"", u"{0}"), noPart3, Card(u"NoId", u""), Card(u"Gigabit(R) LAN/1000", u"{F}")});
    for (InterfaceListReader reader :
         {ReaderTrayMenu, ReaderStatisticsWindow, ReaderInterfacesPage, ReaderMovementsPage})
        EXPECT_EQ(Names(reply, reader), u"NoThird|{3}! NoId| Gigabit(R) LAN/1000|{F} ") << reader;
    EXPECT_EQ(Names(reply, ReaderInterfaceRefresh), u"NoId| Gigabit(R) LAN/1000|{F} ");
    EXPECT_EQ(Names(reply, ReaderMonitorsPage), u"NoThird|{3}! Gigabit(R) LAN/1000|{F} ");
}

TEST(InterfaceList, BrokenSizesNeverLeadOutsideTheReply)
{
    RecordSpec zero = Card(u"Zero"), huge = Card(u"Huge"), longName = Card(u"Long"), shortName = Card(u"ABCD", u"");
    // A zero size would walk on the spot for ever; two characters and no NUL inside the name's field.
    zero.recordSize = 0, huge.recordSize = 0x7FFFFFF0, longName.nameSize = 0xFFFFFFF0, shortName.nameSize = 4;
    EXPECT_EQ(Names(BuildInterfaceList({Card(u"First"), zero, Card(u"Third")})), u"First|{1} ");
    EXPECT_EQ(Names(BuildInterfaceList({Card(u"First"), huge})), u"First|{1} ");
    EXPECT_EQ(Names(BuildInterfaceList({longName, Card(u"After")})), u"After|{1} ");
    EXPECT_EQ(Names(BuildInterfaceList({shortName})), u"AB| ");
    EXPECT_EQ(Names(BuildInterfaceList({Card(u"Only")}, 1000000)), u"Only|{1} ");
    // Every cut decodes without reading past it (the sanitizer watches).
    const std::vector<uint8_t> reply = BuildInterfaceList({Card(u"One"), Card(u"Two")});
    for (size_t cut = 0; cut <= reply.size(); ++cut)
        EXPECT_LE(Names(std::vector<uint8_t>(reply.begin(), reply.begin() + cut)).size(), 20u);
}

TEST(InterfaceList, StateBitsPickTheIcon)
{
    const uint32_t S = IfSupported, C = IfConnected, B = IfBound, A = IfBindingActive;
    // Not supported: the bound bit means nothing.
    const uint32_t rows[][2] = {{IfNotPresent | S | B, 6},
                                {S | C | B | A, 4},
                                {S | C | B, 11},
                                {S | C, 2},
                                {S | B | A, 5},
                                {S | B, 12},
                                {S, 3},
                                {C | B, 1},
                                {0, 7}};
    for (const auto& r : rows)
        EXPECT_EQ(InterfaceIconIndex(r[0]), int(r[1])) << r[0];
    EXPECT_EQ(InterfaceListMessageId(ListServiceError, IDS_NO_BOUND_ADAPTERS), unsigned(IDS_SERVICE_ERROR));
    // A list whose records all lack a name says the same as an empty one.
    EXPECT_EQ(InterfaceListMessageId(ListHasRecords, IDS_NO_INTERFACES), unsigned(IDS_NO_INTERFACES));
}

}  // namespace
