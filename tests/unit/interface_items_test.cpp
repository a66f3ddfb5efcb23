#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/interface_items.h"
#include "prefs/not_present_items.h"

namespace {

std::vector<InterfaceListItem> Items(const std::vector<uint32_t>& flags, std::vector<std::u16string>* names = nullptr)
{
    std::vector<InterfaceListItem> items;
    for (size_t at = 0; at < flags.size(); ++at)
        items.push_back({flags[at], names ? reinterpret_cast<Char16*>(&(*names)[at][0]) : nullptr, 0, nullptr});
    return items;
}

TEST(InterfaceItems, SortPutsSupportedThenNotPresentFirstThenCodeUnits)
{
    const uint32_t S = IfSupported, N = IfNotPresent;
    // Unsupported comes last even when absent; a prefix sorts first.
    std::vector<std::u16string> names = {u"Alpha", u"beta", u"Zeta", u"Beta", u"Absent", u"B\u00e9ta", u"Beta 2"};
    std::vector<InterfaceListItem> items = Items({0, S, S | N, S, N, S | IfBound, S}, &names);
    SortInterfaceItems(items.data(), items.size());
    std::u16string order;
    for (const InterfaceListItem& item : items)
        order += reinterpret_cast<const char16_t*>(item.Name) + std::u16string(u",");
    EXPECT_EQ(order, u"Zeta,Beta,Beta 2,B\u00e9ta,beta,Absent,Alpha,");
    EXPECT_EQ(CompareInterfaceItems(items[1], items[1]), 0);
    EXPECT_GT(CompareInterfaceItems(items[2], items[1]), 0);
}

TEST(InterfaceItems, ButtonStatesAndMarks)
{
    const uint32_t S = IfSupported, B = IfBound;
    const struct {
        std::vector<uint32_t> flags;
        int given;  // index into flags, -1 none
        bool admin;
        const char* want;  // bind selected, unbind selected, bind all, unbind all
    } cases[] = {
        {{S, S | B}, 0, false, "0000"},
        {{0, B, IfNotPresent}, 1, true, "0000"},
        {{S, S | B}, 0, true, "1011"},
        {{S, S | B}, 1, true, "0111"},
        {{S | B, 0}, 1, true, "0001"},
        {{S}, -1, true, "0010"},
        {{S | B, S | B | IfNotPresent}, 1, true, "0101"},
    };
    for (const auto& c : cases) {
        std::vector<InterfaceListItem> items = Items(c.flags);
        InterfaceButtonStates s =
            DecideInterfaceButtons(items.data(), items.size(), c.given < 0 ? nullptr : &items[c.given], c.admin);
        const char got[] = {char('0' + s.bindSelected), char('0' + s.unbindSelected), char('0' + s.bindAll),
                            char('0' + s.unbindAll), 0};
        EXPECT_STREQ(got, c.want) << &c - cases;
    }
    std::vector<InterfaceListItem> items = Items({S, S | B, B, 0});
    for (bool bind : {true, false}) {
        for (InterfaceListItem& item : items)
            item.Marked = 1;
        EXPECT_EQ(MarkItemsForBind(items.data(), items.size(), bind), 1u);
        EXPECT_EQ(std::vector<int>({items[0].Marked, items[1].Marked, items[2].Marked, items[3].Marked}),
                  std::vector<int>({bind, !bind, 0, 0}));
    }
}

// Only the ids a reply gave ride along; the delete button needs an absent card.
TEST(InterfaceItems, CopiesKeepIdsWhereGivenAndOnlyAbsentCardsAreDeletable)
{
    const InterfaceEntry entries[] = {{IfNotPresent | IfSupported, u"Old card", u"{GONE-1}"},
                                      {IfNotPresent, u"Old modem", u""}};
    size_t copied = 0;
    InterfaceListItem* items = CopyInterfaceItems(entries, 2, &copied);
    ASSERT_EQ(copied, 2u);
    EXPECT_EQ(Text16(items[0].InterfaceId), u"{GONE-1}");
    EXPECT_EQ(Text16(items[1].Name), u"Old modem");
    EXPECT_EQ(items[1].InterfaceId, nullptr);
    EXPECT_TRUE(ItemIsDeletable(items[0]));
    items[0].Flags = IfSupported | IfConnected | IfBound;
    EXPECT_FALSE(ItemIsDeletable(items[0]));
    FreeInterfaceItems(items, copied);
    FreeInterfaceItems(nullptr, 0);
}

}  // namespace
