// Cut replies are left to the fuzz target; here what only the decoded
// records show.
#include <gtest/gtest.h>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "core/wire_read.h"
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
    // A one-character name and nothing else: 24 + 4 bytes.
    const std::vector<uint8_t> good = BuildInterfaceList({Card(u"A", u"")});
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

    // Each reader keeps only the records it needs, in reply order. The nameless
    // record is skipped by everyone, yet its size still leads the walk on; a
    // name without its NUL ends with its field.
    RecordSpec noPart3 = Card(u"NoThird", u"{3}", 0x07), cut = Card(u"ABCD", u"");
    noPart3.part3.clear();
    cut.nameSize = 4;
    const std::vector<uint8_t> reply = BuildInterfaceList({Card(u"", u"{0}"), noPart3, cut, Card(u"LAN", u"{F}")});
    for (InterfaceListReader reader :
         {ReaderTrayMenu, ReaderStatisticsWindow, ReaderInterfacesPage, ReaderMovementsPage})
        EXPECT_EQ(Names(reply, reader), u"NoThird|{3}! AB| LAN|{F} ") << reader;
    EXPECT_EQ(Names(reply, ReaderInterfaceRefresh), u"AB| LAN|{F} ");
    EXPECT_EQ(Names(reply, ReaderMonitorsPage), u"NoThird|{3}! LAN|{F} ");
}

// Sizes a faulty service could send: the walk keeps what came before a
// record it cannot step over (a zero size would walk on the spot for ever),
// steps over a name that runs past its record, and takes no more records
// than there are.
TEST(InterfaceList, BrokenSizes)
{
    const std::vector<uint8_t> three = BuildInterfaceList({Card(u"First"), Card(u"Second"), Card(u"Third")});
    const auto with = [&](uint32_t at, uint32_t value) {
        std::vector<uint8_t> reply = three;
        for (int i = 0; i < 4; ++i)
            reply[at + i] = uint8_t(value >> 8 * i);
        return Names(reply);
    };
    const uint32_t second = 8 + ReadU32(&three[8]);
    EXPECT_EQ(with(second, 0) + with(second, 0x7FFFFFF0), u"First|{1} First|{1} ");
    EXPECT_EQ(with(second + 8, 0xFFFFFFF0), u"First|{1} Third|{1} ");
    EXPECT_EQ(with(4, 1000000), u"First|{1} Second|{1} Third|{1} ");
}

TEST(InterfaceList, StateBitsPickTheIcon)
{
    const uint32_t S = IfSupported, C = IfConnected, B = IfBound, A = IfBindingActive;
    // Not supported: the bound bit means nothing.
    const uint32_t rows[][2] = {
        {IfNotPresent | S | B, 6}, {S | C | B | A, 4}, {S | C | B, 11}, {S | B, 12}, {C | B, 1}, {0, 7}};
    for (const auto& r : rows)
        EXPECT_EQ(InterfaceIconIndex(r[0]), int(r[1])) << r[0];
    // A list whose records all lack a name says the same as an empty one.
    EXPECT_EQ(InterfaceListMessageId(ListHasRecords, IDS_NO_INTERFACES), unsigned(IDS_NO_INTERFACES));
}

}  // namespace
