// The General page of the preferences: start-up options, the service's data
// files folder, and the statistics window's options. Every click is written
// at once; there is no Apply on this page.
#pragma once

#include <windows.h>

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's form of the start-up load: fills the four start-up check boxes
// and leaves StartupOptions alone, which take effect at the next start only.
void LoadStartupOptions(HWND page);

// Every control from the registry and the service.
void LoadGeneralPage(HWND page);
