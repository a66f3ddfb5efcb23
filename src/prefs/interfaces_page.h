// The Interface(s) page of the preferences: the service's interfaces with
// their state pictures, fetched by a thread of their own, and the commands
// that bind or unbind the miniport behind a progress dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "prefs/interface_items.h"
#include "prefs/interface_list_page.h"

INT_PTR CALLBACK InterfacesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Its busy marker is CommandBusy while a command runs on the page's thread.
extern InterfaceListPageRecord InterfacesPageState;
extern const HANDLE CommandBusy;

// Starts the list thread with its handle as the busy marker. False (and the
// marker cleared) when the thread cannot be made.
bool StartInterfaceListThread();

// The item a list line stands for, or null for the waiting or a message line.
InterfaceListItem* ItemOfLine(int line);

// Enables the buttons for the item of `line` (-1: the selection mark).
void UpdateInterfaceButtons(HWND page, int line);

// Disables every button the list thread or a command may enable.
void DisableInterfaceButtons(HWND page);

// Progress dialog 103 over `count` items from `first`, modal to the page.
void RunBindProgress(HWND page, bool bind, InterfaceListItem* first, size_t count);
