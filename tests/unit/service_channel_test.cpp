#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/interface_list.h"
#include "core/service_channel.h"

namespace {

// A library that answers from a script and keeps a ledger of its blocks.
struct FakeLibrary {
    std::vector<ServiceStatus> statuses;  // one per call; the last repeats
    bool busyCarriesBlock = true;
    size_t calls = 0;
    uint32_t nextToken = 1;
    std::map<uint32_t, std::vector<uint8_t>> outstanding;
    int doubleOrUnknown = 0;
    std::vector<uint32_t> lastInput;
};

FakeLibrary* Fake;

uint32_t SERVICE_CALL FakeRequest(uint32_t, const void* input, uint32_t inputSize, uint32_t wantReply, void** reply,
                                  uint32_t* replySize, uint8_t* flag, uint32_t* token, uint32_t, uint32_t)
{
    ServiceStatus status = Fake->statuses[std::min(Fake->calls, Fake->statuses.size() - 1)];
    ++Fake->calls;
    Fake->lastInput.assign(static_cast<const uint32_t*>(input), static_cast<const uint32_t*>(input) + inputSize / 4);
    if (!wantReply)
        return status;
    if (status == StatusBusy && !Fake->busyCarriesBlock) {
        *reply = nullptr;
        *replySize = 0;
        *flag = 0;
        *token = NoReleaseToken;
        return status;
    }
    *token = Fake->nextToken++;
    std::vector<uint8_t>& block = Fake->outstanding[*token];
    block.resize(40);
    *reply = block.data();
    *replySize = uint32_t(block.size());
    *flag = 1;
    return status;
}

void SERVICE_CALL FakeRelease(void* reply, uint32_t size, uint32_t flag, uint32_t token)
{
    auto it = Fake->outstanding.find(token);
    if (it == Fake->outstanding.end() || it->second.data() != reply || it->second.size() != size || (flag & 0xFF) != 1)
        ++Fake->doubleOrUnknown;
    else
        Fake->outstanding.erase(it);
}

struct ChannelTest : ::testing::Test {
    FakeLibrary library;
    void SetUp() override
    {
        Fake = &library;
        ServiceLibrary = ServiceLibraryRecord();
        ServiceLibrary.ServiceRequest = FakeRequest;
        ServiceLibrary.ServiceReleaseReply = FakeRelease;
    }
    void TearDown() override
    {
        ServiceLibrary = ServiceLibraryRecord();
    }
};

bool CountPause(void* context)
{
    return ++*static_cast<int*>(context) < 5;  // gives up after five pauses
}

TEST_F(ChannelTest, BusyAnswersAreRepeatedAndEveryBusyReplyReleasedOnce)
{
    library.statuses = {StatusBusy, StatusBusy, StatusBusy, StatusSuccess};
    int pauses = 0;
    ServiceReply reply;
    uint32_t selector = SelectMonitored;
    EXPECT_EQ(StatusSuccess,
              RequestServiceUntilNotBusy(RequestListInterfaces, &selector, 4, &reply, CountPause, &pauses));
    EXPECT_EQ(4u, library.calls);
    EXPECT_EQ(3, pauses);
    EXPECT_EQ(1u, library.outstanding.size());                  // only the answer is still lent out
    EXPECT_EQ((std::vector<uint32_t>{44}), library.lastInput);  // the identical call each time
    ReleaseReply(&reply);
    EXPECT_TRUE(library.outstanding.empty());
    EXPECT_FALSE(ReplyIsHeld(reply));
    ReleaseReply(&reply);  // a cleared reply is not handed back twice
    EXPECT_EQ(0, library.doubleOrUnknown);

    // Busy without a block: nothing to release, and giving up returns busy.
    library.statuses = {StatusBusy};
    library.busyCarriesBlock = false;
    library.calls = 0;
    pauses = 0;
    EXPECT_EQ(StatusBusy, RequestServiceUntilNotBusy(RequestListInterfaces, &selector, 4, &reply, CountPause, &pauses));
    EXPECT_EQ(5u, library.calls);
    EXPECT_FALSE(ReplyIsHeld(reply));
    EXPECT_EQ(0, library.doubleOrUnknown);
}

TEST_F(ChannelTest, FailureRepliesAreHandedBackTooAndNoReplyMeansNoOutPointers)
{
    library.statuses = {StatusAccessDenied};
    ServiceReply reply;
    EXPECT_EQ(StatusAccessDenied, RequestInterfaceList(SelectBindable, &reply));
    EXPECT_EQ((std::vector<uint32_t>{1}), library.lastInput);
    EXPECT_TRUE(ReplyIsHeld(reply));
    ReleaseReply(&reply);
    EXPECT_TRUE(library.outstanding.empty());
    EXPECT_EQ(0, library.doubleOrUnknown);
    uint32_t input[2] = {7, 8};
    // Asking for a reply here would write through the null pointer.
    EXPECT_EQ(StatusAccessDenied, RequestService(RequestWriteDataSettings, input, 8, nullptr));
    EXPECT_TRUE(library.outstanding.empty());
}

TEST_F(ChannelTest, ClosedChannelOrNoLibraryRefusesNewCallsAndIsIdleOnlyOnceEveryReplyIsBack)
{
    library.statuses = {StatusSuccess, StatusSuccess};
    ServiceReply held, refused;
    RequestInterfaceList(SelectMonitored, &held);
    SetServiceChannelClosed(true);
    EXPECT_FALSE(ServiceChannelIdle());
    EXPECT_EQ(StatusNotStarted, RequestInterfaceList(SelectMonitored, &refused));
    EXPECT_EQ(1u, library.calls);
    ReleaseReply(&held);
    EXPECT_TRUE(ServiceChannelIdle());
    EXPECT_TRUE(library.outstanding.empty());
    SetServiceChannelClosed(false);
    ServiceLibrary = ServiceLibraryRecord();  // no library at all
    EXPECT_EQ(StatusNotStarted, RequestInterfaceList(SelectMonitored, &refused));
    EXPECT_FALSE(ReplyIsHeld(refused));
}

}  // namespace
