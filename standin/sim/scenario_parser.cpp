#include "scenario_parser.h"

#include <windows.h>

#include <vector>

#include "commands.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

bool ReadWholeFile(const wchar_t* path, std::string& text)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool good = true;
    char buffer[4096];
    while (true) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            good = false;
            break;
        }
        if (got == 0)
            break;
        text.append(buffer, got);
    }
    CloseHandle(file);
    return good;
}

}  // namespace

bool LoadScenario(const wchar_t* path, std::string& error)
{
    std::string text;
    std::string where = WideToUtf8(path);
    if (!ReadWholeFile(path, text)) {
        error = where + ": cannot read";
        return false;
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);

    bool good = true;
    EnterCriticalSection(&SimLock);
    size_t start = 0;
    for (unsigned lineNumber = 1; start < text.size() && good; ++lineNumber) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        std::vector<std::string> words;
        std::string out;
        if (!TokenizeLine(line, words)) {
            out = "unbalanced quote";
            good = false;
        } else if (!words.empty() && (words[0] == "quit" || words[0] == "reset-counts")) {
            out = "'" + words[0] + "' only as a control command";
            good = false;
        } else if (!words.empty()) {
            good = RunCommand(words, out);
        }
        if (!good)
            error = where + ":" + std::to_string(lineNumber) + ": " + out;
    }
    LeaveCriticalSection(&SimLock);
    return good;
}
