// ZorvanHSimCtl: sends one command to the running simulator and prints the
// answer. Exit code 0 accepted, 1 refused, 2 no simulator answered.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../common/pipe_client.h"

namespace {

std::string ToUtf8(const wchar_t* text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length - 1));
    return narrow;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: ZorvanHSimCtl.exe <command> [args...]\n");
        return 1;
    }
    std::vector<std::string> args;
    for (int at = 1; at < argc; ++at)
        args.push_back(ToUtf8(argv[at]));
    std::string text;
    int result = SimControl(args, text);
    if (result == 2) {
        fprintf(stderr, "no simulator answers\n");
        return 2;
    }
    FILE* stream = stdout;
    fwrite(text.data(), 1, text.size(), stream);
    if (text.empty() || text.back() != '\n')
        fputc('\n', stream);
    return result;
}
