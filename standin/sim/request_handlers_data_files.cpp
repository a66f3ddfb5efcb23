#include "request_handlers_data_files.h"

#include <windows.h>

#include <cstdio>

#include "../common/wire.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

constexpr uint32_t StatusCancelled = 0xC0FE002Bu;
constexpr uint32_t HeadBytes = 20;

struct Operation {
    bool running = false;
    bool cancel = false;
    uint32_t ticks = 0, processId = 0, threadId = 0;
    DWORD started = 0;
};

struct DataFilesState {
    DWORD durationMs = 3000;
    Operation current;
    uint32_t lastCode = 0;
    uint32_t lastFlags = 0;
    uint32_t lastStatus = 0;
    std::wstring lastPath;
    std::vector<uint8_t> snapshot;
    uint32_t cancelled = 0;
    uint32_t polls = 0;
};

DataFilesState State;

bool ReadPath(const uint8_t* bytes, uint32_t size, uint32_t at, uint32_t pathBytes, std::wstring& path)
{
    if (pathBytes < 2 || pathBytes % 2 || at > size || pathBytes > size - at)
        return false;
    path.clear();
    for (uint32_t i = 0; i + 2 < pathBytes; i += 2)
        path.push_back(static_cast<wchar_t>(bytes[at + i] | bytes[at + i + 1] << 8));
    return bytes[at + pathBytes - 2] == 0 && bytes[at + pathBytes - 1] == 0;
}

// Runs the operation to its end or its cancellation, with SimLock released
// between looks so that request 11 can be served meanwhile.
uint32_t RunOperation(const uint8_t* head)
{
    if (State.current.running)
        return StatusBusy;
    Operation& op = State.current;
    op = Operation();
    op.running = true;
    op.ticks = wire::Get32(head + 4);
    op.processId = wire::Get32(head + 8);
    op.threadId = wire::Get32(head + 12);
    op.started = GetTickCount();
    uint32_t status = StatusSuccess;
    for (;;) {
        if (op.cancel) {
            status = StatusCancelled;
            ++State.cancelled;
            break;
        }
        if (GetTickCount() - op.started >= State.durationMs)
            break;
        LeaveCriticalSection(&SimLock);
        Sleep(50);
        EnterCriticalSection(&SimLock);
    }
    op.running = false;
    State.lastStatus = status;
    return status;
}

bool TakeHead(const RequestInput& input, uint32_t code, uint32_t pathAt)
{
    if (input.size < pathAt)
        return false;
    State.lastCode = code;
    State.lastFlags = wire::Get32(input.bytes);
    return ReadPath(input.bytes, input.size, pathAt, wire::Get32(input.bytes + 16), State.lastPath);
}

}  // namespace

uint32_t AnswerChangeDataFolder(const RequestInput& input, std::vector<uint8_t>&)
{
    if (!TakeHead(input, 8, HeadBytes))
        return StatusFailure;
    return RunOperation(input.bytes);
}

uint32_t AnswerBackupDataFiles(const RequestInput& input, std::vector<uint8_t>&)
{
    if (!TakeHead(input, 12, HeadBytes + 4))
        return StatusFailure;
    uint32_t pathBytes = wire::Get32(input.bytes + 16);
    uint32_t configBytes = wire::Get32(input.bytes + 20);
    uint32_t configAt = HeadBytes + 4 + pathBytes;
    if (configAt > input.size || configBytes != input.size - configAt)
        return StatusFailure;
    if (((State.lastFlags & 0x4) != 0) != (configBytes != 0))
        return StatusFailure;
    // Copied before the lock is let go: the input belongs to the caller.
    std::vector<uint8_t> snapshot(input.bytes + configAt, input.bytes + configAt + configBytes);
    uint32_t status = RunOperation(input.bytes);
    if (status == StatusSuccess && configBytes)
        State.snapshot.swap(snapshot);
    return status;
}

uint32_t AnswerRestoreDataFiles(const RequestInput& input, std::vector<uint8_t>& reply)
{
    if (!TakeHead(input, 13, HeadBytes) || input.size != HeadBytes + wire::Get32(input.bytes + 16))
        return StatusFailure;
    bool config = (State.lastFlags & 0x2) != 0;
    uint32_t status = RunOperation(input.bytes);
    if (status != StatusSuccess)
        return status;
    bool attach = config && !State.snapshot.empty();
    wire::Append32(reply, attach ? 0x2 : 0);
    wire::Append32(reply, 0);
    wire::Append32(reply, attach ? static_cast<uint32_t>(State.snapshot.size()) : 0);
    if (attach)
        reply.insert(reply.end(), State.snapshot.begin(), State.snapshot.end());
    return StatusSuccess;
}

uint32_t AnswerOperationProgress(const RequestInput& input, std::vector<uint8_t>& reply)
{
    if (input.size != 16)
        return StatusFailure;
    ++State.polls;
    Operation& op = State.current;
    bool ours = op.running && wire::Get32(input.bytes + 4) == op.ticks &&
        wire::Get32(input.bytes + 8) == op.processId && wire::Get32(input.bytes + 12) == op.threadId;
    if (ours && (wire::Get32(input.bytes) & 0x1))
        op.cancel = true;
    uint32_t percent = 0;
    if (op.running && State.durationMs) {
        DWORD elapsed = GetTickCount() - op.started;
        percent = elapsed >= State.durationMs ? 100 : static_cast<uint32_t>(uint64_t(elapsed) * 100 / State.durationMs);
    }
    wire::Append32(reply, op.running ? 0x1 : 0);
    wire::Append32(reply, percent);
    wire::Append32(reply, op.ticks);
    wire::Append32(reply, op.processId);
    wire::Append32(reply, op.threadId);
    return StatusSuccess;
}

bool DataFilesCommand(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() < 2) {
        char flags[32];
        std::snprintf(flags, sizeof flags, "%X status=%X", State.lastFlags, State.lastStatus);
        out = "running=" + std::to_string(State.current.running ? 1 : 0) + " last=" + std::to_string(State.lastCode) +
            " flags=" + flags + " path=" + WideToUtf8(State.lastPath) +
            " snapshot=" + std::to_string(State.snapshot.size()) + " cancelled=" + std::to_string(State.cancelled) +
            " polls=" + std::to_string(State.polls);
        return true;
    }
    for (size_t at = 1; at < words.size(); ++at) {
        std::string key, value;
        uint32_t number = 0;
        if (words[at] == "forget") {
            State.snapshot.clear();
        } else if (SplitOption(words[at], key, value) && key == "duration" && ParseU32(value, number)) {
            State.durationMs = number;
        } else {
            out = "bad option '" + words[at] + "'";
            return false;
        }
    }
    out = "ok";
    return true;
}
