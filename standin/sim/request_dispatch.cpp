#include "request_dispatch.h"

#include "../common/wire.h"
#include "connection_replies.h"
#include "faults.h"
#include "ledger.h"
#include "request_handlers.h"
#include "request_handlers_bind.h"
#include "sim_state.h"

namespace {

// What a busy answer carries when its fault asks for a block: recognisable
// bytes the caller must hand back like any reply.
void FillBusyBlock(uint32_t size, std::vector<uint8_t>& block)
{
    block.assign(size, 0);
    for (uint32_t at = 0; at < size; ++at)
        block[at] = static_cast<uint8_t>(0xB0 + at % 16);
}

}  // namespace

void ServeRequest(uint32_t code, bool wantReply, const uint8_t* input, uint32_t inputSize, RequestAnswer& answer)
{
    answer.status = StatusNotStarted;
    answer.hasBlock = false;
    answer.token = wire::NoToken;
    answer.block.clear();

    EnterCriticalSection(&SimLock);
    ++Sim.requestCounts[code];
    ++Sim.requestTotal;
    bool replyAnyway = false;
    if (Sim.serviceRunning) {
        SimFault fault;
        std::string subject;
        if (code == 5) {
            NoteBindRequest(input, inputSize);
            subject = BindSubjectKey(input, inputSize);
        } else if (code == 4 && QueryClears(input, inputSize)) {
            subject = "clear";  // a fault can then fail only the queries that clear
        }
        bool faulted = TakeFault(code, false, fault, subject);
        bool applied = faulted && fault.kind == FaultKind::Status && fault.apply;
        bool shapes = faulted &&
            (fault.kind == FaultKind::Truncate || fault.kind == FaultKind::Malformed || fault.kind == FaultKind::Fill);
        if (faulted && !applied && !shapes) {
            answer.status = fault.status;
            if (fault.kind == FaultKind::Busy && fault.block) {
                FillBusyBlock(fault.bytes, answer.block);
                replyAnyway = true;
            }
        } else {
            RequestHandler handler = FindRequestHandler(code);
            bool malformed = faulted && fault.kind == FaultKind::Malformed;
            RequestInput request{input, inputSize, malformed ? &fault : nullptr};
            answer.status = handler != nullptr ? handler(request, answer.block) : StatusFailure;
            // The work is done; only the answer is the fault's.
            if (applied && answer.status == StatusSuccess)
                answer.status = fault.status;
            if (faulted && fault.kind == FaultKind::Truncate && answer.block.size() > fault.bytes)
                answer.block.resize(fault.bytes);
            if (faulted && fault.kind == FaultKind::Fill)
                for (size_t at = fault.from; at < answer.block.size(); ++at)
                    answer.block[at] = static_cast<uint8_t>(fault.value);
            // A successful request always has a reply, even one cut to nothing.
            replyAnyway = answer.status == StatusSuccess || !answer.block.empty();
        }
    }
    if (wantReply && replyAnyway) {
        answer.hasBlock = true;
        answer.token = IssueReplyToken();
    } else {
        answer.block.clear();
    }
    uint32_t delay = RequestDelayOf(code);
    LeaveCriticalSection(&SimLock);
    if (delay != 0)
        Sleep(delay);
    PassRequestGate(code);
}

uint32_t ServeInitialize()
{
    EnterCriticalSection(&SimLock);
    ++Sim.initCalls;
    SimFault fault;
    uint32_t status = TakeFault(0, true, fault) ? fault.status : StatusSuccess;
    LeaveCriticalSection(&SimLock);
    return status;
}
