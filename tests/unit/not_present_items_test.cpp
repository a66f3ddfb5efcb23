#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/not_present_items.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

Text16 T(const std::u16string& text)
{
    return Text16(reinterpret_cast<const Char16*>(text.c_str()));
}

// The page's path from a reply to its items: the id rides along only when
// the record has one, and records without a name never become items.
TEST(NotPresentItems, ReplyToItemsKeepsIdsWhereGiven)
{
    RecordSpec withId;
    withId.flags = IfNotPresent | IfSupported;
    withId.name = u"Old card";
    withId.part3 = {1, 2};
    withId.id = u"{GONE-1}";
    RecordSpec withoutId;
    withoutId.flags = IfNotPresent;
    withoutId.name = u"Old modem";
    withoutId.idSize = 0;
    RecordSpec nameless;
    nameless.flags = IfNotPresent;
    nameless.nameSize = 0;
    nameless.id = u"{NONAME}";
    std::vector<uint8_t> reply = BuildInterfaceList({withId, nameless, withoutId});

    std::vector<InterfaceEntry> entries;
    ASSERT_EQ(DecodeInterfaceList(ReaderMovementsPage, 0, reply.data(), static_cast<uint32_t>(reply.size()), &entries),
              ListHasRecords);
    size_t copied = 0;
    InterfaceListItem* items = CopyInterfaceItems(entries.data(), entries.size(), &copied);
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(copied, 2u);
    EXPECT_EQ(Text16(items[0].Name), T(u"Old card"));
    ASSERT_NE(items[0].InterfaceId, nullptr);
    EXPECT_EQ(Text16(items[0].InterfaceId), T(u"{GONE-1}"));
    EXPECT_EQ(Text16(items[1].Name), T(u"Old modem"));
    EXPECT_EQ(items[1].InterfaceId, nullptr);
    EXPECT_TRUE(ItemIsDeletable(items[0]));
    FreeInterfaceItems(items, copied);
}

TEST(NotPresentItems, OnlyNotPresentItemsAreDeletable)
{
    InterfaceListItem present = {IfSupported | IfConnected | IfBound, nullptr, 0, nullptr};
    InterfaceListItem gone = {IfNotPresent, nullptr, 0, nullptr};
    EXPECT_FALSE(ItemIsDeletable(present));
    EXPECT_TRUE(ItemIsDeletable(gone));
}

TEST(NotPresentItems, DeleteQueryLayout)
{
    std::u16string name = u"N\u00e9t";
    uint32_t size = 0;
    uint8_t* query = BuildDeleteQuery(reinterpret_cast<const Char16*>(name.c_str()), 0x01020304, &size);
    ASSERT_NE(query, nullptr);
    std::vector<uint8_t> got(query, query + size);
    delete[] query;
    std::vector<uint8_t> want = {8, 0, 0, 0, 4, 3, 2, 1, 'N', 0, 0xE9, 0, 't', 0, 0, 0};
    EXPECT_EQ(got, want);
    query = BuildDeleteQuery(nullptr, 7, &size);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(query[0], 2);
    delete[] query;
}

TEST(NotPresentItems, DeleteStatusReactions)
{
    for (ServiceStatus done : {0u, 0xC0FE0015u}) {
        DeleteOutcome outcome = ReactToDeleteStatus(done);
        EXPECT_TRUE(outcome.done) << std::hex << done;
    }
    struct Case {
        ServiceStatus status;
        unsigned id;
    };
    // 0x18 and 0x19 are successes only for a bind, never here.
    for (Case c : {Case{0xC0FE0005u, IDS_ACCESS_DENIED}, Case{0xC0FE000Au, IDS_SERVICE_NOT_STARTED},
                   Case{0xC0FE0018u, IDS_OPERATION_FAILED}, Case{0xC0FE0019u, IDS_OPERATION_FAILED},
                   Case{0xC0FE0020u, IDS_OPERATION_FAILED}, Case{1u, IDS_OPERATION_FAILED}}) {
        DeleteOutcome outcome = ReactToDeleteStatus(c.status);
        EXPECT_FALSE(outcome.done) << std::hex << c.status;
        EXPECT_EQ(outcome.stringId, c.id) << std::hex << c.status;
    }
}

}  // namespace
