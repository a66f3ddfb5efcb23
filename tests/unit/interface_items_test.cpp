#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/interface_items.h"

namespace {

const uint32_t S = IfSupported, B = IfBound, N = IfNotPresent;

std::vector<InterfaceListItem> Items(const std::vector<uint32_t>& flags, std::vector<std::u16string>* names = nullptr)
{
    std::vector<InterfaceListItem> items;
    for (size_t at = 0; at < flags.size(); ++at)
        items.push_back({flags[at], names ? &(*names)[at][0] : nullptr, 0, nullptr});
    return items;
}

// Supported first, then not present, then by code units; unsupported comes
// last even when absent, and a prefix sorts first.
TEST(InterfaceItems, SortOrder)
{
    std::vector<std::u16string> names = {u"Alpha", u"beta", u"Zeta", u"Beta", u"Absent", u"B\u00e9ta", u"Beta 2"};
    std::vector<InterfaceListItem> items = Items({0, S, S | N, S, N, S | B, S}, &names);
    SortInterfaceItems(items.data(), items.size());
    std::u16string order;
    for (const InterfaceListItem& item : items)
        order += item.Name + std::u16string(u",");
    EXPECT_EQ(order, u"Zeta,Beta,Beta 2,B\u00e9ta,beta,Absent,Alpha,");
    EXPECT_TRUE(CompareInterfaceItems(items[1], items[1]) == 0 && CompareInterfaceItems(items[2], items[1]) > 0);
}

// Which buttons an administrator gets for a list and its selected item
// (bind selected, unbind selected, bind all, unbind all); the plain cases,
// and what the all buttons mark, are the interfaces page's end to end.
TEST(InterfaceItems, Buttons)
{
    const std::tuple<std::vector<uint32_t>, int, bool, const char*> cases[] = {{{S, S | B}, 0, false, "0000"},
                                                                               {{S | B, 0}, 1, true, "0001"},
                                                                               {{S}, -1, true, "0010"},
                                                                               {{S | B, S | B | N}, 1, true, "0101"}};
    for (const auto& c : cases) {
        std::vector<InterfaceListItem> items = Items(std::get<0>(c));
        int given = std::get<1>(c);
        InterfaceButtonStates s =
            DecideInterfaceButtons(items.data(), items.size(), given < 0 ? nullptr : &items[given], std::get<2>(c));
        const char got[] = {char('0' + s.bindSelected), char('0' + s.unbindSelected), char('0' + s.bindAll),
                            char('0' + s.unbindAll), 0};
        EXPECT_STREQ(got, std::get<3>(c)) << &c - cases;
    }
}

}  // namespace
