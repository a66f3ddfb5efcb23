// The Interface(s) page of the preferences: the service's interfaces with
// their state pictures, fetched by a thread of their own, and the commands
// that bind or unbind the miniport behind a progress dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "prefs/interface_items.h"

INT_PTR CALLBACK InterfacesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Progress dialog 103 over `count` items from `first`, modal to the page.
void RunBindProgress(HWND page, bool bind, InterfaceListItem* first, size_t count);
