// Conventions: failures are status values, never exceptions. Each reader
// below is run with one allocation failing at a time, then with every
// allocation failing from some point on; none may let std::bad_alloc out.
#include <gtest/gtest.h>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "failing_allocator.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

// Names longer than a short string's own buffer, so each copy allocates.
RecordSpec LongCard(const std::u16string& name, const std::u16string& id)
{
    RecordSpec r;
    r.flags = IfSupported | IfBound;
    r.name = name;
    r.part2 = {1, 2, 3, 4};
    r.part3 = {5, 6};
    r.id = id;
    return r;
}

const std::vector<uint8_t> ThreeCards = BuildInterfaceList({
    LongCard(u"Local Area Connection", u"{11111111-2222-3333-4444-555555555555}"),
    LongCard(u"Wireless Network Connection", u"{22222222-2222-3333-4444-555555555555}"),
    LongCard(u"Local Area Connection 2", u"{33333333-2222-3333-4444-555555555555}"),
});

InterfaceListOutcome DecodeWithFailure(long first, long count, std::vector<InterfaceEntry>* entries, long* used)
{
    InterfaceListOutcome outcome = ListEmpty;
    bool threw = false;
    {
        // Nothing of the test's own may allocate while the failures are armed.
        AllocationFailure failure(first, count);
        try {
            outcome = DecodeInterfaceList(ReaderMonitorsPage, StatusSuccess, ThreeCards.data(),
                                          uint32_t(ThreeCards.size()), entries);
        } catch (...) {
            threw = true;
        }
        *used = AllocationsCounted();
    }
    EXPECT_FALSE(threw) << "allocation " << first;
    return outcome;
}

TEST(AllocationFailure, InterfaceListDropsTheRecordWhoseCopyFails)
{
    std::vector<InterfaceEntry> all;
    long allocations = 0;
    ASSERT_EQ(DecodeWithFailure(-1, 0, &all, &allocations), ListHasRecords);
    ASSERT_EQ(all.size(), 3u);
    ASSERT_GE(allocations, 7);  // the table and two copies per record
    // The table first: without it the reader reports "Out of memory!".
    std::vector<InterfaceEntry> entries;
    long used = 0;
    EXPECT_EQ(DecodeWithFailure(0, 1, &entries, &used), ListOutOfMemory);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(InterfaceListMessageId(ListOutOfMemory, IDS_NO_BOUND_ADAPTERS), unsigned(IDS_OUT_OF_MEMORY));
    // Any later allocation belongs to one record's copies: that record
    // alone is dropped.
    for (long k = 1; k < allocations; ++k) {
        std::vector<InterfaceEntry>().swap(entries);  // the table is allocated afresh
        ASSERT_EQ(DecodeWithFailure(k, 1, &entries, &used), ListHasRecords) << k;
        ASSERT_EQ(entries.size(), 2u) << k;
        for (const InterfaceEntry& e : entries)
            ASSERT_FALSE(e.name.empty()) << k;
    }
    // Everything failing from some point on: no exception, no half record.
    for (long k = 0; k < allocations; ++k) {
        std::vector<InterfaceEntry>().swap(entries);
        InterfaceListOutcome outcome = DecodeWithFailure(k, 1000, &entries, &used);
        ASSERT_TRUE(outcome == ListOutOfMemory || outcome == ListHasRecords) << k;
        for (const InterfaceEntry& e : entries)
            ASSERT_FALSE(e.id.empty()) << k;
    }
}

}  // namespace
