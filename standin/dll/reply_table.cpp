#include "reply_table.h"

#include <windows.h>

#include <cstring>
#include <map>

#include "../common/wire.h"

namespace {

struct HeldReply {
    void* block;
    uint32_t size;
    uint8_t flag;
};

CRITICAL_SECTION TableLock;
std::map<uint32_t, HeldReply>* HeldReplies = nullptr;

}  // namespace

void StartReplyTable()
{
    InitializeCriticalSection(&TableLock);
    HeldReplies = new std::map<uint32_t, HeldReply>();
}

void StopReplyTable()
{
    // Blocks the caller never handed back die with the process; the
    // simulator's ledger already shows them as outstanding.
    delete HeldReplies;
    HeldReplies = nullptr;
    DeleteCriticalSection(&TableLock);
}

void* HoldReply(uint32_t token, const uint8_t* bytes, uint32_t size, uint8_t flag)
{
    // A zero-sized reply still gets a block, so the caller sees a held reply.
    void* block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
    if (block == nullptr)
        return nullptr;
    if (size != 0)
        memcpy(block, bytes, size);
    EnterCriticalSection(&TableLock);
    (*HeldReplies)[token] = HeldReply{block, size, flag};
    LeaveCriticalSection(&TableLock);
    return block;
}

uint32_t TakeBackReply(void* reply, uint32_t size, uint32_t flag, uint32_t token)
{
    if (reply == nullptr && size == 0 && token == wire::NoToken)
        return wire::Empty;
    uint32_t verdict = wire::NotHeld;
    void* toFree = nullptr;
    EnterCriticalSection(&TableLock);
    auto found = HeldReplies->find(token);
    if (found != HeldReplies->end()) {
        const HeldReply& held = found->second;
        if (held.block == reply && held.size == size && held.flag == static_cast<uint8_t>(flag)) {
            toFree = held.block;
            HeldReplies->erase(found);
            verdict = wire::Matched;
        } else {
            verdict = wire::Mismatch;
        }
    }
    LeaveCriticalSection(&TableLock);
    if (toFree != nullptr)
        HeapFree(GetProcessHeap(), 0, toFree);
    return verdict;
}
