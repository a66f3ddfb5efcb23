#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/interface_items.h"
#include "resources/resource_ids.h"

namespace {

// Items over names the test owns; nothing here is freed by the rules.
struct ItemSet {
    std::vector<std::u16string> names;
    std::vector<InterfaceListItem> items;

    void Add(uint32_t flags, const std::u16string& name)
    {
        names.push_back(name);
        items.push_back({flags, nullptr, 0, nullptr});
    }
    InterfaceListItem* Fix()
    {
        for (size_t at = 0; at < items.size(); ++at)
            items[at].Name = reinterpret_cast<Char16*>(&names[at][0]);
        return items.data();
    }
};

std::u16string NameOf(const InterfaceListItem& item)
{
    return std::u16string(reinterpret_cast<const char16_t*>(item.Name));
}

TEST(InterfaceItems, SortPutsSupportedThenNotPresentFirstThenCodeUnits)
{
    ItemSet set;
    set.Add(0, u"Alpha");  // unsupported, present
    set.Add(IfSupported, u"beta");
    set.Add(IfSupported | IfNotPresent, u"Zeta");
    set.Add(IfSupported, u"Beta");
    set.Add(IfNotPresent, u"Absent");  // unsupported comes last even when absent
    set.Add(IfSupported | IfBound, u"B\u00e9ta");
    InterfaceListItem* items = set.Fix();
    SortInterfaceItems(items, set.items.size());
    std::vector<std::u16string> order;
    for (const InterfaceListItem& item : set.items)
        order.push_back(NameOf(item));
    std::vector<std::u16string> want = {u"Zeta", u"Beta", u"B\u00e9ta", u"beta", u"Absent", u"Alpha"};
    EXPECT_EQ(order, want);
    EXPECT_EQ(CompareInterfaceItems(items[1], items[1]), 0);
    // A prefix sorts before the longer name.
    ItemSet pair;
    pair.Add(IfSupported, u"LAN");
    pair.Add(IfSupported, u"LAN 2");
    InterfaceListItem* two = pair.Fix();
    EXPECT_LT(CompareInterfaceItems(two[0], two[1]), 0);
    EXPECT_GT(CompareInterfaceItems(two[1], two[0]), 0);
}

TEST(InterfaceItems, CopyKeepsFlagsAndNames)
{
    std::vector<InterfaceEntry> entries(2);
    entries[0].flags = IfSupported | IfBound;
    entries[0].name = Text16(TEXT16("Wired"));
    entries[1].flags = IfConnected;
    size_t copied = 99;
    InterfaceListItem* items = CopyInterfaceItems(entries.data(), entries.size(), &copied);
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(copied, 2u);
    EXPECT_EQ(Text16(items[0].Name), Text16(TEXT16("Wired")));
    EXPECT_EQ(items[0].Flags, uint32_t(IfSupported | IfBound));
    EXPECT_EQ(items[1].Name[0], 0);
    EXPECT_EQ(items[1].Marked, 0);
    FreeInterfaceItems(items, copied);
    FreeInterfaceItems(nullptr, 0);
    items = CopyInterfaceItems(entries.data(), 0, &copied);
    EXPECT_EQ(copied, 0u);
    FreeInterfaceItems(items, copied);
}

struct ButtonCase {
    const char* what;
    std::vector<uint32_t> flags;
    int given;  // index into flags, -1 none
    bool admin;
    InterfaceButtonStates want;  // bindSelected, unbindSelected, bindAll, unbindAll
};

TEST(InterfaceItems, ButtonStates)
{
    const uint32_t S = IfSupported, B = IfBound;
    const ButtonCase cases[] = {
        {"not admin", {S, S | B}, 0, false, {false, false, false, false}},
        {"nothing supported", {0, B, IfNotPresent}, 1, true, {false, false, false, false}},
        {"unbound selected", {S, S | B}, 0, true, {true, false, true, true}},
        {"bound selected", {S, S | B}, 1, true, {false, true, true, true}},
        {"unsupported selected", {S | B, 0}, 1, true, {false, false, false, true}},
        {"no selection", {S}, -1, true, {false, false, true, false}},
        {"all bound", {S | B, S | B | IfNotPresent}, 1, true, {false, true, false, true}},
    };
    for (const ButtonCase& c : cases) {
        std::vector<InterfaceListItem> items;
        for (uint32_t f : c.flags)
            items.push_back({f, nullptr, 0, nullptr});
        InterfaceButtonStates got =
            DecideInterfaceButtons(items.data(), items.size(), c.given < 0 ? nullptr : &items[c.given], c.admin);
        EXPECT_EQ(got.bindSelected, c.want.bindSelected) << c.what;
        EXPECT_EQ(got.unbindSelected, c.want.unbindSelected) << c.what;
        EXPECT_EQ(got.bindAll, c.want.bindAll) << c.what;
        EXPECT_EQ(got.unbindAll, c.want.unbindAll) << c.what;
    }
}

TEST(InterfaceItems, MarksOnlyWhatTheOperationChanges)
{
    std::vector<InterfaceListItem> items = {{IfSupported, nullptr, 1, nullptr},
                                            {IfSupported | IfBound, nullptr, 1, nullptr},
                                            {IfBound, nullptr, 1, nullptr},
                                            {0, nullptr, 1, nullptr}};
    EXPECT_EQ(MarkItemsForBind(items.data(), items.size(), true), 1u);
    EXPECT_EQ(std::vector<int>({items[0].Marked, items[1].Marked, items[2].Marked, items[3].Marked}),
              std::vector<int>({1, 0, 0, 0}));
    EXPECT_EQ(MarkItemsForBind(items.data(), items.size(), false), 1u);
    EXPECT_EQ(std::vector<int>({items[0].Marked, items[1].Marked, items[2].Marked, items[3].Marked}),
              std::vector<int>({0, 1, 0, 0}));
    items.resize(1);
    items[0].Flags = IfSupported | IfBound;
    EXPECT_EQ(MarkItemsForBind(items.data(), 1, true), 0u);
}

TEST(InterfaceItems, BindQueryLayout)
{
    std::u16string name = u"N\u00e9t";
    uint32_t size = 0;
    uint8_t* query = BuildBindQuery(true, reinterpret_cast<const Char16*>(name.c_str()), 0x01020304, &size);
    ASSERT_NE(query, nullptr);
    std::vector<uint8_t> got(query, query + size);
    delete[] query;
    std::vector<uint8_t> want = {1, 0, 0, 0, 8, 0, 0, 0, 4, 3, 2, 1, 'N', 0, 0xE9, 0, 't', 0, 0, 0};
    EXPECT_EQ(got, want);
    query = BuildBindQuery(false, TEXT16(""), 7, &size);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(query[0], 0);
    EXPECT_EQ(query[4], 2);
    delete[] query;
}

TEST(InterfaceItems, BindStatusReactions)
{
    for (ServiceStatus done : {0u, 0xC0FE0015u, 0xC0FE0018u, 0xC0FE0019u})
        for (bool last : {false, true})
            EXPECT_EQ(ReactToBindStatus(done, last).action, BindStepDone) << std::hex << done;
    // These end the operation wherever they come.
    struct {
        ServiceStatus status;
        unsigned id;
    } stops[] = {
        {0xC0FE0005u, IDS_ACCESS_DENIED}, {0xC0FE000Au, IDS_SERVICE_NOT_STARTED}, {0xC0FE0020u, IDS_COMPONENT_MISSING}};
    for (auto s : stops)
        for (bool last : {false, true}) {
            BindStepReaction r = ReactToBindStatus(s.status, last);
            EXPECT_EQ(r.action, BindStepStop);
            EXPECT_EQ(r.stringId, s.id);
        }
    // Any other failure, busy included, asks to go on unless nothing is left.
    for (ServiceStatus other : {0xC0FE0001u, 0xC0FE000Du, 0xC0FE000Bu, 1u}) {
        EXPECT_EQ(ReactToBindStatus(other, false).action, BindStepAskGoOn);
        EXPECT_EQ(ReactToBindStatus(other, false).stringId, unsigned(IDS_OPERATION_FAILED_GO_ON));
        EXPECT_EQ(ReactToBindStatus(other, true).action, BindStepStop);
        EXPECT_EQ(ReactToBindStatus(other, true).stringId, unsigned(IDS_OPERATION_FAILED));
    }
    EXPECT_EQ(ReactToQueryShortage(false).stringId, unsigned(IDS_OUT_OF_MEMORY_GO_ON));
    EXPECT_EQ(ReactToQueryShortage(true).action, BindStepStop);
    EXPECT_EQ(ReactToQueryShortage(true).stringId, unsigned(IDS_OUT_OF_MEMORY));
}

}  // namespace
