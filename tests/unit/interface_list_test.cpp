#include <gtest/gtest.h>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "resources/resource_ids.h"
#include "reply_builder.h"

namespace {

RecordSpec Card(const std::u16string& name, const std::u16string& id, uint32_t flags = IfSupported | IfBound)
{
    RecordSpec r;
    r.flags = flags;
    r.name = name;
    r.part2 = {1, 2, 3, 4};
    r.part3 = {5, 6};
    r.id = id;
    return r;
}

std::vector<InterfaceEntry> Decode(InterfaceListReader reader, const std::vector<uint8_t>& reply,
                                   InterfaceListOutcome* outcome = nullptr)
{
    std::vector<InterfaceEntry> entries;
    InterfaceListOutcome o = DecodeInterfaceList(reader, StatusSuccess, reply.data(), uint32_t(reply.size()), &entries);
    if (outcome)
        *outcome = o;
    return entries;
}

TEST(InterfaceListReply, StatusAndSizeDecideBeforeAnyRecordIsRead)
{
    std::vector<uint8_t> good = BuildInterfaceList({Card(u"LAN", u"{1}")});
    EXPECT_EQ(ListNotStarted, CheckInterfaceListReply(StatusNotStarted, good.data(), uint32_t(good.size())));
    EXPECT_EQ(ListWrongVersion, CheckInterfaceListReply(StatusWrongVersion, good.data(), uint32_t(good.size())));
    EXPECT_EQ(ListServiceError, CheckInterfaceListReply(StatusBusy, good.data(), uint32_t(good.size())));
    EXPECT_EQ(ListServiceError, CheckInterfaceListReply(StatusAccessDenied, good.data(), uint32_t(good.size())));
    // A successful answer too short for the header means another service version.
    EXPECT_EQ(ListWrongVersion, CheckInterfaceListReply(StatusSuccess, good.data(), 7));
    EXPECT_EQ(ListWrongVersion, CheckInterfaceListReply(StatusSuccess, nullptr, 0));
    EXPECT_EQ(ListEmpty, CheckInterfaceListReply(StatusSuccess, good.data(), 8));
    EXPECT_EQ(ListHasRecords, CheckInterfaceListReply(StatusSuccess, good.data(), uint32_t(good.size())));
}

TEST(InterfaceListReply, ThirtyTwoBytesAreEmptyAndThirtyThreeAreWalked)
{
    // A record with a one-character name and nothing else: 24 + 4 bytes.
    RecordSpec tiny;
    tiny.name = u"A";
    std::vector<uint8_t> reply = BuildInterfaceList({tiny});
    ASSERT_EQ(36u, reply.size());
    EXPECT_EQ(ListEmpty, CheckInterfaceListReply(StatusSuccess, reply.data(), 32));
    EXPECT_EQ(ListHasRecords, CheckInterfaceListReply(StatusSuccess, reply.data(), 33));

    std::vector<uint8_t> none = BuildInterfaceList({Card(u"LAN", u"{1}")}, 0);
    InterfaceListOutcome outcome;
    EXPECT_TRUE(Decode(ReaderTrayMenu, none, &outcome).empty());
    EXPECT_EQ(ListEmpty, outcome);
}

TEST(InterfaceListReply, RecordsAreCopiedInReplyOrderWithNameIdAndFlags)
{
    std::vector<uint8_t> reply =
        BuildInterfaceList({Card(u"Gigabit(R) LAN/1000", u"{A1}", 0x07), Card(u"Wireless", u"{B2}", 0x15)});
    std::vector<InterfaceEntry> entries = Decode(ReaderMovementsPage, reply);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(u"Gigabit(R) LAN/1000", entries[0].name);
    EXPECT_EQ(u"{A1}", entries[0].id);
    EXPECT_EQ(0x07u, entries[0].flags);
    EXPECT_EQ(u"Wireless", entries[1].name);
    EXPECT_EQ(u"{B2}", entries[1].id);
}

TEST(InterfaceListReply, EachReaderKeepsOnlyTheRecordsItNeeds)
{
    RecordSpec noName = Card(u"", u"{0}");
    RecordSpec noPart3 = Card(u"NoThird", u"{3}");
    noPart3.part3.clear();
    RecordSpec noId = Card(u"NoId", u"");
    std::vector<uint8_t> reply = BuildInterfaceList({noName, noPart3, noId, Card(u"Full", u"{F}")});

    auto names = [&](InterfaceListReader reader) {
        std::vector<std::u16string> out;
        for (const InterfaceEntry& e : Decode(reader, reply))
            out.push_back(e.name);
        return out;
    };
    using V = std::vector<std::u16string>;
    // The nameless record is skipped by everyone, yet its size still leads
    // the walk to the records behind it.
    EXPECT_EQ((V{u"NoThird", u"NoId", u"Full"}), names(ReaderTrayMenu));
    EXPECT_EQ((V{u"NoThird", u"NoId", u"Full"}), names(ReaderStatisticsWindow));
    EXPECT_EQ((V{u"NoThird", u"NoId", u"Full"}), names(ReaderInterfacesPage));
    EXPECT_EQ((V{u"NoId", u"Full"}), names(ReaderInterfaceRefresh));
    EXPECT_EQ((V{u"NoThird", u"Full"}), names(ReaderMonitorsPage));
    std::vector<InterfaceEntry> movements = Decode(ReaderMovementsPage, reply);
    ASSERT_EQ(3u, movements.size());
    EXPECT_TRUE(movements[1].id.empty());
}

TEST(InterfaceListReply, BrokenSizesNeverLeadOutsideTheReply)
{
    std::vector<InterfaceEntry> entries;

    // RecordSize 0 would walk on the spot for ever: the walk ends instead.
    RecordSpec zero = Card(u"Zero", u"{Z}");
    zero.recordSize = 0;
    std::vector<uint8_t> reply = BuildInterfaceList({Card(u"First", u"{1}"), zero, Card(u"Third", u"{3}")});
    entries = Decode(ReaderTrayMenu, reply);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(u"First", entries[0].name);

    // A RecordSize that points past the end drops that record and ends.
    RecordSpec huge = Card(u"Huge", u"{H}");
    huge.recordSize = 0x7FFFFFF0;
    reply = BuildInterfaceList({Card(u"First", u"{1}"), huge});
    EXPECT_EQ(1u, Decode(ReaderTrayMenu, reply).size());

    // A name that runs past its record is left out; the next record is read.
    RecordSpec longName = Card(u"Long", u"{L}");
    longName.nameSize = 0xFFFFFFF0;
    reply = BuildInterfaceList({longName, Card(u"After", u"{A}")});
    entries = Decode(ReaderTrayMenu, reply);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(u"After", entries[0].name);

    // A Count larger than the records present keeps what is there.
    reply = BuildInterfaceList({Card(u"Only", u"{O}")}, 1000000);
    EXPECT_EQ(1u, Decode(ReaderTrayMenu, reply).size());

    // Every cut of a good reply decodes without reading past the cut.
    reply = BuildInterfaceList({Card(u"One", u"{1}"), Card(u"Two", u"{2}")});
    for (size_t cut = 0; cut <= reply.size(); ++cut) {
        std::vector<uint8_t> shorter(reply.begin(), reply.begin() + cut);
        entries.clear();
        DecodeInterfaceList(ReaderTrayMenu, StatusSuccess, shorter.data(), uint32_t(cut), &entries);
        EXPECT_LE(entries.size(), 2u);
    }
}

TEST(InterfaceListReply, NameWithoutNulEndsAtItsField)
{
    RecordSpec r = Card(u"ABCD", u"{X}");
    r.nameSize = 4;  // two characters of the four, and no NUL inside the field
    std::vector<uint8_t> reply = BuildInterfaceList({r});
    std::vector<InterfaceEntry> entries = Decode(ReaderTrayMenu, reply);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(u"AB", entries[0].name);
}

TEST(InterfaceIcon, StateBitsPickTheImage)
{
    EXPECT_EQ(6, InterfaceIconIndex(IfNotPresent | IfSupported | IfBound));  // not present wins
    EXPECT_EQ(6, InterfaceIconIndex(0xFF));
    EXPECT_EQ(4, InterfaceIconIndex(IfSupported | IfConnected | IfBound | IfBindingActive));
    EXPECT_EQ(11, InterfaceIconIndex(IfSupported | IfConnected | IfBound));
    EXPECT_EQ(2, InterfaceIconIndex(IfSupported | IfConnected));
    EXPECT_EQ(5, InterfaceIconIndex(IfSupported | IfBound | IfBindingActive));
    EXPECT_EQ(12, InterfaceIconIndex(IfSupported | IfBound));
    EXPECT_EQ(3, InterfaceIconIndex(IfSupported));
    EXPECT_EQ(1, InterfaceIconIndex(IfConnected | IfBound));  // not supported: the bound bit means nothing
    EXPECT_EQ(7, InterfaceIconIndex(0));
}

TEST(InterfaceListMessage, ServiceStateBeforeTheReadersOwnEmptyLine)
{
    EXPECT_EQ(InterfaceListMessageId(ListNotStarted, IDS_NO_INTERFACES), unsigned(IDS_SERVICE_NOT_STARTED));
    EXPECT_EQ(InterfaceListMessageId(ListWrongVersion, IDS_NO_INTERFACES), unsigned(IDS_BAD_SERVICE_VERSION));
    EXPECT_EQ(InterfaceListMessageId(ListServiceError, IDS_NO_BOUND_ADAPTERS), unsigned(IDS_SERVICE_ERROR));
    EXPECT_EQ(InterfaceListMessageId(ListEmpty, IDS_NO_BOUND_ADAPTERS), unsigned(IDS_NO_BOUND_ADAPTERS));
    // A list whose records all lack a name says the same as an empty one.
    EXPECT_EQ(InterfaceListMessageId(ListHasRecords, IDS_NO_INTERFACES), unsigned(IDS_NO_INTERFACES));
}

}  // namespace
