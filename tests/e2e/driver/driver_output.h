#pragma once

#include <windows.h>

// Output goes out as UTF-8 with plain '\n', whatever the console code page.
void PrintText(const wchar_t* text);
void PrintLine(const wchar_t* format, ...);
void PrintError(const wchar_t* format, ...);
