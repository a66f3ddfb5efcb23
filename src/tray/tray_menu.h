// The tray icon's right-click menu: built from menu 112 each time it opens,
// with the "&Monitors" submenu listing the monitored interfaces.
#pragma once

#include <windows.h>

// Shows the menu at the cursor and runs the chosen command.
void OpenTrayMenu(HWND owner);
