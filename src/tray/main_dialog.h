// The hidden main dialog that runs on the start-up thread for the agent's
// whole life, and the exit window through which other programs unload it.
#pragma once

#include <windows.h>

extern HWND MainWindow;
extern HWND ExitWindow;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Brings the preferences out of the tray: shown, restored and in front.
void ShowPreferences();
