#include "message_dispatch.h"

#include <string>

#include "../common/wire.h"
#include "commands.h"
#include "ledger.h"
#include "request_dispatch.h"
#include "sim_state.h"

namespace {

void AnswerRequest(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer)
{
    if (message.size() < wire::RequestHeader) {
        wire::Append32(answer, StatusFailure);
        return;
    }
    uint32_t code = wire::Get32(message.data() + 8);
    bool wantReply = wire::Get32(message.data() + 12) != 0;
    uint32_t inputSize = wire::Get32(message.data() + 16);
    if (inputSize > message.size() - wire::RequestHeader)
        inputSize = 0;
    RequestAnswer served;
    ServeRequest(code, wantReply, message.data() + wire::RequestHeader, inputSize, served);
    wire::Append32(answer, served.status);
    wire::Append32(answer, served.hasBlock ? 1 : 0);
    wire::Append32(answer, served.token);
    wire::Append32(answer, served.hasBlock ? 1 : 0);
    wire::Append32(answer, static_cast<uint32_t>(served.block.size()));
    answer.insert(answer.end(), served.block.begin(), served.block.end());
}

void AnswerControl(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer)
{
    std::vector<std::string> words;
    if (message.size() >= 12) {
        uint32_t count = wire::Get32(message.data() + 8);
        size_t at = 12;
        for (uint32_t word = 0; word < count && at < message.size(); ++word) {
            size_t end = at;
            while (end < message.size() && message[end] != 0)
                ++end;
            words.emplace_back(reinterpret_cast<const char*>(message.data() + at), end - at);
            at = end + 1;
        }
    }
    std::string out;
    EnterCriticalSection(&SimLock);
    bool accepted = RunCommand(words, out);
    LeaveCriticalSection(&SimLock);
    wire::Append32(answer, accepted ? 0 : 1);
    answer.insert(answer.end(), out.begin(), out.end());
}

}  // namespace

void DispatchMessage(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer)
{
    answer.clear();
    wire::Append32(answer, wire::Magic);
    if (message.size() < 8 || wire::Get32(message.data()) != wire::Magic) {
        wire::Append32(answer, StatusFailure);
        return;
    }
    switch (wire::Get32(message.data() + 4)) {
    case wire::Init:
        wire::Append32(answer, ServeInitialize());
        break;
    case wire::Uninit:
        EnterCriticalSection(&SimLock);
        ++Sim.uninitCalls;
        LeaveCriticalSection(&SimLock);
        wire::Append32(answer, 0);
        break;
    case wire::Request:
        AnswerRequest(message, answer);
        break;
    case wire::Release:
        if (message.size() >= 20) {
            EnterCriticalSection(&SimLock);
            RecordRelease(wire::Get32(message.data() + 8), wire::Get32(message.data() + 12));
            LeaveCriticalSection(&SimLock);
        }
        wire::Append32(answer, 0);
        break;
    case wire::Control:
        AnswerControl(message, answer);
        break;
    default:
        wire::Append32(answer, StatusFailure);
        break;
    }
}
