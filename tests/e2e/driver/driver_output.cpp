#include "driver_output.h"

#include <cstdarg>
#include <cwchar>

static void WriteUtf8(DWORD which, const wchar_t* text)
{
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        return;
    int length = (int)wcslen(text);
    if (length == 0)
        return;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    char* buffer = (char*)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (buffer == nullptr)
        return;
    WideCharToMultiByte(CP_UTF8, 0, text, length, buffer, bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(out, buffer, (DWORD)bytes, &written, nullptr);
    HeapFree(GetProcessHeap(), 0, buffer);
}

void PrintText(const wchar_t* text)
{
    WriteUtf8(STD_OUTPUT_HANDLE, text);
}

static void PrintFormatted(DWORD which, const wchar_t* format, va_list list)
{
    wchar_t line[2048];
    _vsnwprintf(line, 2046, format, list);
    line[2046] = 0;
    wcscat(line, L"\n");
    WriteUtf8(which, line);
}

void PrintLine(const wchar_t* format, ...)
{
    va_list list;
    va_start(list, format);
    PrintFormatted(STD_OUTPUT_HANDLE, format, list);
    va_end(list);
}

void PrintError(const wchar_t* format, ...)
{
    va_list list;
    va_start(list, format);
    PrintFormatted(STD_ERROR_HANDLE, format, list);
    va_end(list);
}
