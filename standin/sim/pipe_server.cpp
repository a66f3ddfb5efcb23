#include "pipe_server.h"

#include <cstdint>
#include <vector>

#include "../common/pipe_client.h"
#include "../common/wire.h"
#include "message_dispatch.h"
#include "sim_state.h"

namespace {

constexpr int Instances = 8;
constexpr DWORD BufferSize = 64 * 1024;

HANDLE QuitEvent = nullptr;

HANDLE MakeInstance(bool first)
{
    wchar_t name[256];
    GetSimPipeName(name, 256);
    DWORD openMode = PIPE_ACCESS_DUPLEX | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return CreateNamedPipeW(name, openMode, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, BufferSize, BufferSize, 0, nullptr);
}

bool ReadMessage(HANDLE pipe, std::vector<uint8_t>& message)
{
    message.resize(BufferSize);
    size_t have = 0;
    while (true) {
        DWORD got = 0;
        BOOL done = ReadFile(pipe, message.data() + have, static_cast<DWORD>(message.size() - have), &got, nullptr);
        have += got;
        if (done)
            break;
        if (GetLastError() != ERROR_MORE_DATA || message.size() >= wire::MaxMessage)
            return false;
        message.resize(message.size() * 2);
    }
    message.resize(have);
    return true;
}

DWORD WINAPI ServeInstance(LPVOID parameter)
{
    HANDLE pipe = static_cast<HANDLE>(parameter);
    std::vector<uint8_t> message, answer;
    while (true) {
        BOOL connected = ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
        if (connected && ReadMessage(pipe, message)) {
            DispatchMessage(message, answer);
            DWORD written = 0;
            WriteFile(pipe, answer.data(), static_cast<DWORD>(answer.size()), &written, nullptr);
            FlushFileBuffers(pipe);
        }
        DisconnectNamedPipe(pipe);
        EnterCriticalSection(&SimLock);
        bool quit = Sim.quitRequested;
        LeaveCriticalSection(&SimLock);
        if (quit)
            SetEvent(QuitEvent);
        if (!connected)
            Sleep(50);
    }
}

}  // namespace

bool StartPipeServer(HANDLE quitEvent)
{
    QuitEvent = quitEvent;
    for (int index = 0; index < Instances; ++index) {
        HANDLE pipe = MakeInstance(index == 0);
        if (pipe == INVALID_HANDLE_VALUE)
            return index > 0;
        // The instance threads live as long as the process; the process ends
        // them when the simulator quits.
        HANDLE thread = CreateThread(nullptr, 0, ServeInstance, pipe, 0, nullptr);
        if (thread == nullptr) {
            CloseHandle(pipe);
            return index > 0;
        }
        CloseHandle(thread);
    }
    return true;
}
