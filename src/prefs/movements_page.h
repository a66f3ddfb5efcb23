// The Movements page of the preferences: the interfaces the service still
// keeps information about although they are gone, and the delete of that
// information (and of their monitor settings) behind a progress dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "prefs/interface_items.h"

INT_PTR CALLBACK MovementsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Progress dialog 154 over one item, modal to the page.
void RunDeleteProgress(HWND page, InterfaceListItem* item);
