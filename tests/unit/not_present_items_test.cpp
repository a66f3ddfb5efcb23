#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/not_present_items.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

// From a reply to the page's items: the id rides along only when the record
// has one, and records without a name never become items.
TEST(NotPresentItems, ReplyToItemsKeepsIdsWhereGiven)
{
    RecordSpec withId, withoutId, nameless;
    withId.flags = IfNotPresent | IfSupported;
    withId.name = u"Old card";
    withId.part3 = {1, 2};
    withId.id = u"{GONE-1}";
    withoutId.flags = nameless.flags = IfNotPresent;
    withoutId.name = u"Old modem";
    withoutId.idSize = 0;
    nameless.nameSize = 0;
    nameless.id = u"{NONAME}";
    std::vector<uint8_t> reply = BuildInterfaceList({withId, nameless, withoutId});
    std::vector<InterfaceEntry> entries;
    ASSERT_EQ(DecodeInterfaceList(ReaderMovementsPage, 0, reply.data(), uint32_t(reply.size()), &entries),
              ListHasRecords);
    size_t copied = 0;
    InterfaceListItem* items = CopyInterfaceItems(entries.data(), entries.size(), &copied);
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(copied, 2u);
    EXPECT_EQ(Text16(items[0].Name), Text16(TEXT16("Old card")));
    EXPECT_EQ(items[0].Flags, uint32_t(IfNotPresent | IfSupported));
    ASSERT_NE(items[0].InterfaceId, nullptr);
    EXPECT_EQ(Text16(items[0].InterfaceId), Text16(TEXT16("{GONE-1}")));
    EXPECT_EQ(Text16(items[1].Name), Text16(TEXT16("Old modem")));
    EXPECT_EQ(items[1].InterfaceId, nullptr);
    EXPECT_TRUE(ItemIsDeletable(items[0]));
    items[0].Flags = IfSupported | IfConnected | IfBound;
    EXPECT_FALSE(ItemIsDeletable(items[0]));
    FreeInterfaceItems(items, copied);
    FreeInterfaceItems(nullptr, 0);
}

TEST(NotPresentItems, DeleteQueryLayout)
{
    std::u16string name = u"N\u00e9t";
    uint32_t size = 0;
    uint8_t* query = BuildDeleteQuery(reinterpret_cast<const Char16*>(name.c_str()), 0x01020304, &size);
    ASSERT_NE(query, nullptr);
    std::vector<uint8_t> got(query, query + size);
    delete[] query;
    EXPECT_EQ(got, std::vector<uint8_t>({8, 0, 0, 0, 4, 3, 2, 1, 'N', 0, 0xE9, 0, 't', 0, 0, 0}));
    query = BuildDeleteQuery(nullptr, 7, &size);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(query[0], 2);
    delete[] query;
}

TEST(NotPresentItems, DeleteStatusReactions)
{
    // 0x18 and 0x19 are successes only for a bind, never here.
    const struct {
        ServiceStatus status;
        unsigned id;  // 0: done
    } rows[] = {{0u, 0},
                {0xC0FE0015u, 0},
                {0xC0FE0005u, IDS_ACCESS_DENIED},
                {0xC0FE000Au, IDS_SERVICE_NOT_STARTED},
                {0xC0FE0018u, IDS_OPERATION_FAILED},
                {0xC0FE0019u, IDS_OPERATION_FAILED},
                {0xC0FE0020u, IDS_OPERATION_FAILED},
                {1u, IDS_OPERATION_FAILED}};
    for (const auto& r : rows) {
        DeleteOutcome outcome = ReactToDeleteStatus(r.status);
        EXPECT_EQ(outcome.done, r.id == 0) << std::hex << r.status;
        EXPECT_TRUE(r.id == 0 || outcome.stringId == r.id) << std::hex << r.status;
    }
}

}  // namespace
