#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/interface_list.h"
#include "core/service_channel.h"

namespace {

// A library that answers from a script (one status per call, the last
// repeats) and keeps a ledger of the blocks it lends.
std::vector<ServiceStatus> Statuses;
uint32_t Calls, NextToken, Wrong;
std::map<uint32_t, std::vector<uint8_t>> Lent;
std::vector<uint32_t> LastInput;

uint32_t SERVICE_CALL Request(uint32_t, const void* input, uint32_t inputSize, uint32_t wantReply, void** reply,
                              uint32_t* replySize, uint8_t* flag, uint32_t* token, uint32_t, uint32_t)
{
    ServiceStatus status = Statuses[std::min<size_t>(Calls++, Statuses.size() - 1)];
    LastInput.assign(static_cast<const uint32_t*>(input), static_cast<const uint32_t*>(input) + inputSize / 4);
    if (!wantReply)
        return status;
    std::vector<uint8_t>& block = Lent[*token = NextToken++];
    block.resize(40);
    *reply = block.data(), *replySize = 40, *flag = 1;
    return status;
}

void SERVICE_CALL Release(void* reply, uint32_t size, uint32_t flag, uint32_t token)
{
    auto it = Lent.find(token);
    if (it == Lent.end() || it->second.data() != reply || size != 40 || (flag & 0xFF) != 1)
        ++Wrong;
    else
        Lent.erase(it);
}

void Script(std::vector<ServiceStatus> statuses)
{
    Statuses = statuses, Calls = Wrong = 0, NextToken = 1;
    ServiceLibrary = ServiceLibraryRecord();
    ServiceLibrary.ServiceRequest = Request, ServiceLibrary.ServiceReleaseReply = Release;
}

bool Pause(void*)
{
    return true;
}

// Busy answers, with a block or without, are the fault tests' to repeat and
// their ledger's to see handed back, and a channel closed under outstanding
// replies the unload tests'; here the identical call repeated and failure
// replies handed back once, a cleared reply not twice.
TEST(ServiceChannel, EveryReplyIsHandedBackOnce)
{
    Script({StatusBusy, StatusSuccess});
    ServiceReply reply;
    uint32_t selector = SelectMonitored;
    EXPECT_EQ(RequestServiceUntilNotBusy(RequestListInterfaces, &selector, 4, &reply, Pause, nullptr), StatusSuccess);
    EXPECT_EQ(LastInput, std::vector<uint32_t>({44}));
    ReleaseReply(&reply);
    ReleaseReply(&reply);
    EXPECT_TRUE(Lent.empty() && !ReplyIsHeld(reply));

    Script({StatusAccessDenied});
    EXPECT_EQ(RequestInterfaceList(SelectBindable, &reply), StatusAccessDenied);
    EXPECT_EQ(LastInput, std::vector<uint32_t>({1}));
    EXPECT_TRUE(ReplyIsHeld(reply));
    ReleaseReply(&reply);
    EXPECT_TRUE(Lent.empty() && Wrong == 0);
}

}  // namespace
