// The simulator's control commands, spoken over its pipe from inside the
// driver, so a script's checks need no extra wine process.
#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include "../../../standin/common/pipe_client.h"

#include <cstdlib>
#include <string>
#include <vector>

static std::string Narrow(const wchar_t* text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length - 1));
    return narrow;
}

static void PrintNarrow(const std::string& text)
{
    std::wstring wide;
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length > 0) {
        wide.resize(static_cast<size_t>(length));
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    }
    if (wide.empty() || wide.back() != L'\n')
        wide.push_back(L'\n');
    PrintText(wide.c_str());
}

// Exit codes as the control program's: 0 accepted, 1 refused, 2 no simulator.
int SimCommand(const DriverArgs* args)
{
    std::vector<std::string> words;
    for (int i = 0; i < args->count; ++i)
        words.push_back(Narrow(args->words[i]));
    std::string text;
    int result = SimControl(words, text);
    if (result == 2) {
        PrintError(L"no simulator answers");
        return 2;
    }
    PrintNarrow(text);
    return result;
}

// Until the simulator has seen at least <minimum> requests of <code>;
// prints the last count.
int SimCountCommand(const DriverArgs* args)
{
    ULONGLONG minimum = 0;
    if (!ParseNumber(args->words[1], &minimum))
        return UsageError;
    std::vector<std::string> words = {"count", Narrow(args->words[0])};
    std::string seen = "none";
    DWORD start = GetTickCount();
    do {
        std::string text;
        if (SimControl(words, text) == 0) {
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            seen = text;
            if (strtoull(text.c_str(), nullptr, 10) >= minimum && !text.empty()) {
                PrintNarrow(seen);
                return ConditionMet;
            }
        }
    } while (WaitStep(start, args->timeoutMs));
    PrintNarrow(seen);
    return ConditionNotMet;
}
