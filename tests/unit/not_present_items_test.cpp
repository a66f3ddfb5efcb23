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

}  // namespace
