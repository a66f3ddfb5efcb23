// The notification-area icon of the main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

// Adds (NIM_ADD) or updates (NIM_MODIFY) the icon for the current enabled
// or disabled state; false when the shell refused.
bool ShowTrayIcon(HWND owner, DWORD action, bool disabled);
void RemoveTrayIcon(HWND owner);
