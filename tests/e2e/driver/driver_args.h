#pragma once

#include <windows.h>

// What one invocation asks for: positional words plus the options every
// window command understands.
struct DriverArgs {
    int count;  // positional words after the command name
    wchar_t** words;
    DWORD timeoutMs;
    bool messageBoxOnly;     // only "#32770" windows with a 0xFFFF static text
    bool shownOnly;          // only visible windows
    const wchar_t* desktop;  // nullptr: the desktop the driver starts on
};

bool ParseDriverArgs(int argc, wchar_t** argv, DriverArgs* args);
bool ParseNumber(const wchar_t* text, ULONGLONG* value);
