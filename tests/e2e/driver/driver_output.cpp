#include "driver.h"

#include <cstdarg>
#include <cwchar>

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), 0);
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], int(text.size())));
    return wide;
}

std::string Narrow(const wchar_t* text)
{
    int length = int(wcslen(text));
    std::string bytes(3 * length, 0);
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text, length, &bytes[0], int(bytes.size()), nullptr, nullptr));
    return bytes;
}

void Print(const wchar_t* format, ...)
{
    wchar_t line[16384] = {};
    va_list list;
    va_start(list, format);
    _vsnwprintf(line, 16383, format, list);
    va_end(list);
    std::string bytes = Narrow(line) + '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

void PrintRect(const RECT& rect)
{
    Print(L"%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
}
