#include "core/service_channel.h"

#include <atomic>

ServiceLibraryRecord ServiceLibrary;

// Calls inside the library plus replies held: a held reply still has to
// reach the library's release function.
static std::atomic<long> CallsInFlight;
static std::atomic<bool> ChannelClosed;

void SetServiceChannelClosed(bool closed)
{
    ChannelClosed = closed;
}

bool ServiceChannelIdle()
{
    return CallsInFlight == 0;
}

void ClearReply(ServiceReply* reply)
{
    reply->data = nullptr;
    reply->size = 0;
    reply->releaseFlag = 0;
    reply->releaseToken = NoReleaseToken;
}

bool ReplyIsHeld(const ServiceReply& reply)
{
    return reply.data != nullptr || reply.size != 0 || reply.releaseToken != NoReleaseToken;
}

ServiceStatus RequestService(uint32_t code, const void* input, uint32_t inputSize, ServiceReply* reply)
{
    // Counted before the check, so the unload either sees this call or it
    // sees the channel closed.
    ++CallsInFlight;
    if (ServiceLibrary.ServiceRequest == nullptr || ChannelClosed) {
        --CallsInFlight;
        if (reply)
            ClearReply(reply);
        return StatusNotStarted;
    }
    if (reply == nullptr) {
        ServiceStatus status =
            ServiceLibrary.ServiceRequest(code, input, inputSize, 0, nullptr, nullptr, nullptr, nullptr, 0, 0);
        --CallsInFlight;
        return status;
    }

    ClearReply(reply);
    void* data = nullptr;
    uint32_t size = 0;
    uint8_t flag = 0;
    uint32_t token = NoReleaseToken;
    ServiceStatus status = ServiceLibrary.ServiceRequest(code, input, inputSize, 1, &data, &size, &flag, &token, 0, 0);
    reply->data = static_cast<const uint8_t*>(data);
    reply->size = size;
    reply->releaseFlag = flag;
    reply->releaseToken = token;
    if (!ReplyIsHeld(*reply))
        --CallsInFlight;
    return status;
}

void ReleaseReply(ServiceReply* reply)
{
    if (!ReplyIsHeld(*reply))
        return;
    if (ServiceLibrary.ServiceReleaseReply != nullptr)
        ServiceLibrary.ServiceReleaseReply(const_cast<uint8_t*>(reply->data), reply->size, reply->releaseFlag,
                                           reply->releaseToken);
    ClearReply(reply);
    --CallsInFlight;
}

ServiceStatus RequestServiceUntilNotBusy(uint32_t code, const void* input, uint32_t inputSize, ServiceReply* reply,
                                         BusyPause pause, void* context)
{
    for (;;) {
        ServiceStatus status = RequestService(code, input, inputSize, reply);
        if (status != StatusBusy)
            return status;
        if (reply)
            ReleaseReply(reply);
        if (pause && !pause(context))
            return status;
    }
}
