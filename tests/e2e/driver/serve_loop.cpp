// The long-lived form of the driver: a test script starts it once and sends
// one command a line, so no check pays for a new wine process.
//
// Request:  <id> US <command> US <word> ... LF      (US = 0x1F, UTF-8)
// Answer:   RS <id> " begin" LF, the command's output, RS <id> " " <code> LF
//                                                   (RS = 0x1E)
// The framing lets a client that restarted a dead driver skip whatever the
// dead one left in the pipe.
#include "driver.h"

#include <vector>

int RunCommandLine(int argc, wchar_t** argv);

struct Request {
    std::vector<std::wstring> words;
    int code;
};

// Each command runs on a thread of its own: a thread that has moved to a
// virtual desktop cannot move back, and the next command may want another.
static DWORD WINAPI Run(void* context)
{
    Request* request = (Request*)context;
    std::vector<wchar_t*> argv;
    for (std::wstring& word : request->words)
        argv.push_back(&word[0]);
    request->code = RunCommandLine(int(argv.size()) - 1, argv.data() + 1);
    return 0;
}

int ServeCommands()
{
    std::string line;
    char byte;
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got == 1) {
        if (byte != '\n') {
            if (byte != '\r')
                line += byte;
            continue;
        }
        Request request = {{}, BadUsage};
        for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = line.find('\x1f', start);
            request.words.push_back(Widen(line.substr(start, end - start)));
        }
        line.clear();
        if (request.words.size() < 2)
            continue;
        const wchar_t* id = request.words[0].c_str();
        Print(L"\x1e%ls begin", id);
        HANDLE thread = CreateThread(nullptr, 0, Run, &request, 0, nullptr);
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        } else {
            PrintError(L"cannot start a thread (error %lu)", GetLastError());
        }
        Print(L"\x1e%ls %d", id, request.code);
    }
    return 0;
}
