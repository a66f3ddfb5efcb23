// The long-lived form of the driver: a test script starts it once and sends
// one command a line, so no check pays for a new wine process.
//
// Request:  <id> US <command> US <word> ... LF      (US = 0x1F, UTF-8)
// Answer:   RS <id> " begin" LF, the command's output, RS <id> " " <code> LF
//                                                   (RS = 0x1E)
// The framing lets a client that restarted a dead driver skip whatever the
// dead one left in the pipe.
#include "serve_loop.h"

#include "driver_output.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char UnitSeparator = 0x1F;

struct CommandRun {
    std::vector<std::wstring> words;
    int exitCode;
};

// Each command runs on a thread of its own: a thread that has moved to a
// virtual desktop cannot move back, and the next command may want another.
DWORD WINAPI RunOnFreshThread(void* context)
{
    CommandRun* run = static_cast<CommandRun*>(context);
    std::vector<wchar_t*> argv;
    for (std::wstring& word : run->words)
        argv.push_back(&word[0]);
    run->exitCode = RunCommandLine(static_cast<int>(argv.size()), argv.data());
    return 0;
}

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = line.find(UnitSeparator, start);
        parts.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// One line from standard input without its LF (and CR); false at the end.
bool ReadLine(HANDLE input, std::string* line)
{
    line->clear();
    char byte = 0;
    DWORD got = 0;
    while (ReadFile(input, &byte, 1, &got, nullptr) && got == 1) {
        if (byte == '\n')
            return true;
        if (byte != '\r')
            line->push_back(byte);
    }
    return !line->empty();
}

void AnswerFrame(const std::wstring& id, const wchar_t* what)
{
    PrintLine(L"\x1e%ls %ls", id.c_str(), what);
}

}  // namespace

int ServeCommands()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    while (ReadLine(input, &line)) {
        std::vector<std::string> parts = Split(line);
        if (parts.size() < 2)
            continue;
        CommandRun run;
        for (size_t i = 1; i < parts.size(); ++i)
            run.words.push_back(Widen(parts[i]));
        run.exitCode = 2;
        std::wstring id = Widen(parts[0]);
        AnswerFrame(id, L"begin");
        HANDLE thread = CreateThread(nullptr, 0, RunOnFreshThread, &run, 0, nullptr);
        if (thread != nullptr) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        } else {
            PrintError(L"cannot start a thread (error %lu)", GetLastError());
        }
        wchar_t code[16];
        _snwprintf(code, 16, L"%d", run.exitCode);
        code[15] = 0;
        AnswerFrame(id, code);
    }
    return 0;
}
