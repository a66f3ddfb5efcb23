#include "driver_args.h"

#include <cwchar>

static wchar_t* WordStore[64];

bool ParseNumber(const wchar_t* text, ULONGLONG* value)
{
    if (text == nullptr || *text == 0)
        return false;
    wchar_t* end = nullptr;
    ULONGLONG result = wcstoull(text, &end, 0);
    if (end == nullptr || *end != 0)
        return false;
    *value = result;
    return true;
}

// Options may stand anywhere after the command; everything else is positional.
bool ParseDriverArgs(int argc, wchar_t** argv, DriverArgs* args)
{
    args->count = 0;
    args->words = WordStore;
    args->timeoutMs = 5000;
    args->messageBoxOnly = false;
    args->shownOnly = false;
    args->desktop = nullptr;
    for (int i = 0; i < argc; ++i) {
        const wchar_t* word = argv[i];
        ULONGLONG number = 0;
        if (wcscmp(word, L"--timeout") == 0) {
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], &number))
                return false;
            args->timeoutMs = (DWORD)number;
            ++i;
        } else if (wcscmp(word, L"--desktop") == 0) {
            if (i + 1 >= argc)
                return false;
            args->desktop = argv[++i];
        } else if (wcscmp(word, L"--msgbox") == 0) {
            args->messageBoxOnly = true;
        } else {
            if (args->count >= 64)
                return false;
            WordStore[args->count++] = argv[i];
        }
    }
    return true;
}
