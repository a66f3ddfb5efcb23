// The interface library: every call is forwarded to the simulator, which
// plays the service and keeps the ledger of replies. Without a simulator the
// library behaves like one whose service never started.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "../common/pipe_client.h"
#include "../common/wire.h"
#include "reply_table.h"

namespace {

constexpr uint32_t ServiceNotStarted = 0xC0FE000Au;
constexpr uint8_t HeapBlockFlag = 1;

void ClearReply(void** reply, uint32_t* replySize, uint8_t* releaseFlag, uint32_t* releaseToken)
{
    if (reply != nullptr)
        *reply = nullptr;
    if (replySize != nullptr)
        *replySize = 0;
    if (releaseFlag != nullptr)
        *releaseFlag = 0;
    if (releaseToken != nullptr)
        *releaseToken = wire::NoToken;
}

std::vector<uint8_t> Header(uint32_t kind)
{
    std::vector<uint8_t> message;
    wire::Append32(message, wire::Magic);
    wire::Append32(message, kind);
    return message;
}

void SendRelease(uint32_t token, uint32_t verdict, uint32_t size)
{
    std::vector<uint8_t> message = Header(wire::Release);
    wire::Append32(message, token);
    wire::Append32(message, verdict);
    wire::Append32(message, size);
    std::vector<uint8_t> answer;
    SimTransact(message, answer);
}

}  // namespace

extern "C" {

uint32_t WINAPI ServiceInitialize(void)
{
    std::vector<uint8_t> answer;
    if (SimTransact(Header(wire::Init), answer) != TransactResult::Ok || answer.size() < 8)
        return 0;
    return wire::Get32(answer.data() + 4);
}

uint32_t WINAPI ServiceUninitialize(void)
{
    std::vector<uint8_t> answer;
    SimTransact(Header(wire::Uninit), answer);
    return 0;
}

uint32_t WINAPI ServiceRequest(uint32_t code, const void* input, uint32_t inputSize, uint32_t wantReply, void** reply,
                               uint32_t* replySize, uint8_t* releaseFlag, uint32_t* releaseToken, uint32_t zero1,
                               uint32_t zero2)
{
    (void)zero1;
    (void)zero2;
    bool replying =
        wantReply != 0 && reply != nullptr && replySize != nullptr && releaseFlag != nullptr && releaseToken != nullptr;
    if (replying)
        ClearReply(reply, replySize, releaseFlag, releaseToken);
    if (input == nullptr)
        inputSize = 0;

    std::vector<uint8_t> message = Header(wire::Request);
    wire::Append32(message, code);
    wire::Append32(message, replying ? 1 : 0);
    wire::Append32(message, inputSize);
    const uint8_t* bytes = static_cast<const uint8_t*>(input);
    if (inputSize != 0)
        message.insert(message.end(), bytes, bytes + inputSize);

    std::vector<uint8_t> answer;
    if (SimTransact(message, answer) != TransactResult::Ok || answer.size() < wire::AnswerHeader)
        return ServiceNotStarted;
    uint32_t status = wire::Get32(answer.data() + 4);
    uint32_t hasBlock = wire::Get32(answer.data() + 8);
    uint32_t token = wire::Get32(answer.data() + 12);
    uint32_t size = wire::Get32(answer.data() + 20);
    if (hasBlock == 0)
        return status;
    if (size > answer.size() - wire::AnswerHeader)
        size = static_cast<uint32_t>(answer.size() - wire::AnswerHeader);
    void* block = replying ? HoldReply(token, answer.data() + wire::AnswerHeader, size, HeapBlockFlag) : nullptr;
    if (block == nullptr) {
        // The block never reaches the caller; settle it so the ledger does not
        // blame the caller for it.
        SendRelease(token, wire::Matched, size);
        return status;
    }
    *reply = block;
    *replySize = size;
    *releaseFlag = HeapBlockFlag;
    *releaseToken = token;
    return status;
}

void WINAPI ServiceReleaseReply(void* reply, uint32_t replySize, uint32_t releaseFlag, uint32_t releaseToken)
{
    SendRelease(releaseToken, TakeBackReply(reply, replySize, releaseFlag, releaseToken), replySize);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    if (reason == DLL_PROCESS_ATTACH)
        StartReplyTable();
    // At process exit other threads died mid-call; leave the table alone then.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        StopReplyTable();
    return TRUE;
}

}  // extern "C"
