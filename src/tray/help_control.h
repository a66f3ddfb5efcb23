// The system's HTML Help control, for the tray's help command.
#pragma once

#include <windows.h>

typedef HWND(WINAPI* HtmlHelpFunction)(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data);

// HtmlHelpW of the control its class registration names, loaded on first
// use and kept for the agent's life; null when the control is not there.
HtmlHelpFunction FindHtmlHelp();
