#include "pipe_client.h"

#include <windows.h>

#include "wire.h"

void GetSimPipeName(wchar_t* name, unsigned capacity)
{
    DWORD got = GetEnvironmentVariableW(L"ZORVANH_SIM_PIPE", name, capacity);
    if (got == 0 || got >= capacity)
        lstrcpynW(name, L"\\\\.\\pipe\\ZorvanHSimulator", capacity);
}

static HANDLE OpenSimPipe()
{
    wchar_t name[256];
    GetSimPipeName(name, 256);
    for (int attempt = 0; attempt < 40; ++attempt) {
        HANDLE pipe = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe != INVALID_HANDLE_VALUE)
            return pipe;
        if (GetLastError() != ERROR_PIPE_BUSY)
            return INVALID_HANDLE_VALUE;
        // Every instance is serving another caller; one frees up soon.
        if (!WaitNamedPipeW(name, 250))
            Sleep(10);
    }
    return INVALID_HANDLE_VALUE;
}

TransactResult SimTransact(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer)
{
    answer.clear();
    HANDLE pipe = OpenSimPipe();
    if (pipe == INVALID_HANDLE_VALUE)
        return TransactResult::NoSimulator;

    TransactResult result = TransactResult::Broken;
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr)) {
        answer.resize(64 * 1024);
        DWORD got = 0;
        BOOL done = TransactNamedPipe(pipe, const_cast<uint8_t*>(message.data()), static_cast<DWORD>(message.size()),
                                      answer.data(), static_cast<DWORD>(answer.size()), &got, nullptr);
        size_t have = got;
        while (!done && GetLastError() == ERROR_MORE_DATA && answer.size() < wire::MaxMessage) {
            answer.resize(answer.size() * 2);
            got = 0;
            done = ReadFile(pipe, answer.data() + have, static_cast<DWORD>(answer.size() - have), &got, nullptr);
            have += got;
        }
        if (done && have >= 4 && wire::Get32(answer.data()) == wire::Magic) {
            answer.resize(have);
            result = TransactResult::Ok;
        } else {
            answer.clear();
        }
    }
    CloseHandle(pipe);
    return result;
}

int SimControl(const std::vector<std::string>& args, std::string& text)
{
    text.clear();
    std::vector<uint8_t> message;
    wire::Append32(message, wire::Magic);
    wire::Append32(message, wire::Control);
    wire::Append32(message, static_cast<uint32_t>(args.size()));
    for (const std::string& arg : args) {
        message.insert(message.end(), arg.begin(), arg.end());
        message.push_back(0);
    }
    std::vector<uint8_t> answer;
    if (SimTransact(message, answer) != TransactResult::Ok || answer.size() < 8)
        return 2;
    text.assign(answer.begin() + 8, answer.end());
    return wire::Get32(answer.data() + 4) != 0 ? 1 : 0;
}
