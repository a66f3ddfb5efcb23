#include "driver.h"

#include <cstdarg>
#include <cwchar>

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], int(text.size())));
    return wide;
}

std::string Narrow(const wchar_t* text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.pop_back();
    return narrow;
}

static void PrintTo(DWORD which, const wchar_t* format, va_list list)
{
    va_list measure;
    va_copy(measure, list);
    int length = _vscwprintf(format, measure);
    va_end(measure);
    std::wstring line(length > 0 ? length + 1 : 1, L'\n');
    _vsnwprintf(&line[0], line.size(), format, list);
    line.back() = L'\n';
    std::string bytes = Narrow(line.c_str());
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

void Print(const wchar_t* format, ...)
{
    va_list list;
    va_start(list, format);
    PrintTo(STD_OUTPUT_HANDLE, format, list);
    va_end(list);
}

void PrintError(const wchar_t* format, ...)
{
    va_list list;
    va_start(list, format);
    PrintTo(STD_ERROR_HANDLE, format, list);
    va_end(list);
}

void PrintRect(const RECT& rect)
{
    Print(L"%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
}
