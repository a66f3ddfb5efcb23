#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/interface_items.h"
#include "resources/resource_ids.h"

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
        const char* what;
        std::vector<uint32_t> flags;
        int given;  // index into flags, -1 none
        bool admin;
        InterfaceButtonStates want;  // bindSelected, unbindSelected, bindAll, unbindAll
    } cases[] = {
        {"not admin", {S, S | B}, 0, false, {false, false, false, false}},
        {"nothing supported", {0, B, IfNotPresent}, 1, true, {false, false, false, false}},
        {"unbound selected", {S, S | B}, 0, true, {true, false, true, true}},
        {"bound selected", {S, S | B}, 1, true, {false, true, true, true}},
        {"unsupported selected", {S | B, 0}, 1, true, {false, false, false, true}},
        {"no selection", {S}, -1, true, {false, false, true, false}},
        {"all bound", {S | B, S | B | IfNotPresent}, 1, true, {false, true, false, true}},
    };
    for (const auto& c : cases) {
        std::vector<InterfaceListItem> items = Items(c.flags);
        InterfaceButtonStates got =
            DecideInterfaceButtons(items.data(), items.size(), c.given < 0 ? nullptr : &items[c.given], c.admin);
        EXPECT_EQ(std::vector<bool>({got.bindSelected, got.unbindSelected, got.bindAll, got.unbindAll}),
                  std::vector<bool>({c.want.bindSelected, c.want.unbindSelected, c.want.bindAll, c.want.unbindAll}))
            << c.what;
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

TEST(InterfaceItems, BindQueryLayout)
{
    std::u16string name = u"N\u00e9t";
    uint32_t size = 0;
    uint8_t* query = BuildBindQuery(true, reinterpret_cast<const Char16*>(name.c_str()), 0x01020304, &size);
    ASSERT_NE(query, nullptr);
    std::vector<uint8_t> got(query, query + size);
    delete[] query;
    EXPECT_EQ(got, std::vector<uint8_t>({1, 0, 0, 0, 8, 0, 0, 0, 4, 3, 2, 1, 'N', 0, 0xE9, 0, 't', 0, 0, 0}));
    query = BuildBindQuery(false, TEXT16(""), 7, &size);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(query[0], 0);
    delete[] query;
}

TEST(InterfaceItems, BindStatusReactions)
{
    for (ServiceStatus done : {0u, 0xC0FE0015u, 0xC0FE0018u, 0xC0FE0019u})
        for (bool last : {false, true})
            EXPECT_EQ(ReactToBindStatus(done, last).action, BindStepDone) << std::hex << done;
    // Any failure asks to go on unless nothing is left; these stop wherever they come.
    const struct {
        ServiceStatus status;
        unsigned goOn, last;
    } rows[] = {{0xC0FE0005u, IDS_ACCESS_DENIED, IDS_ACCESS_DENIED},
                {0xC0FE000Au, IDS_SERVICE_NOT_STARTED, IDS_SERVICE_NOT_STARTED},
                {0xC0FE0020u, IDS_COMPONENT_MISSING, IDS_COMPONENT_MISSING},
                {0xC0FE0001u, IDS_OPERATION_FAILED_GO_ON, IDS_OPERATION_FAILED},
                {0xC0FE000Du, IDS_OPERATION_FAILED_GO_ON, IDS_OPERATION_FAILED},
                {0xC0FE000Bu, IDS_OPERATION_FAILED_GO_ON, IDS_OPERATION_FAILED},  // busy
                {1u, IDS_OPERATION_FAILED_GO_ON, IDS_OPERATION_FAILED}};
    for (const auto& r : rows) {
        BindStepReaction middle = ReactToBindStatus(r.status, false), last = ReactToBindStatus(r.status, true);
        EXPECT_EQ(middle.action, r.goOn == r.last ? BindStepStop : BindStepAskGoOn) << std::hex << r.status;
        EXPECT_EQ(middle.stringId, r.goOn) << std::hex << r.status;
        EXPECT_EQ(last.action, BindStepStop) << std::hex << r.status;
        EXPECT_EQ(last.stringId, r.last) << std::hex << r.status;
    }
    EXPECT_EQ(ReactToQueryShortage(false).stringId, unsigned(IDS_OUT_OF_MEMORY_GO_ON));
    EXPECT_EQ(ReactToQueryShortage(true).action, BindStepStop);
    EXPECT_EQ(ReactToQueryShortage(true).stringId, unsigned(IDS_OUT_OF_MEMORY));
}

}  // namespace
