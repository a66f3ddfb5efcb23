// What the Interface(s) and Movements pages do alike around their list: the
// record their window thread owns, the list thread that refills it from
// request 1, and the clean-up when the page goes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/busy_guard.h"
#include "core/interface_list.h"
#include "prefs/interface_items.h"

// Owned by the page's window thread; the list thread writes the items only
// while `busy` holds its handle, so nobody else touches them meanwhile.
struct InterfaceListPageRecord {
    HWND page;
    HWND list;
    InterfaceListItem* items;
    size_t count;
    // The page's busy marker; the list thread's handle while that runs.
    BusyMarker busy;
    HANDLE thread;  // the last list thread, the page's to join and close
    HIMAGELIST images;
};

// List `listId` of the page with its state pictures and its one column,
// and no items yet.
void InitInterfaceListPage(InterfaceListPageRecord& state, HWND page, int listId);

// Starts `routine` with its handle as the busy marker. False (and the
// marker cleared) when the thread cannot be made.
bool StartInterfaceListThread(InterfaceListPageRecord& state, LPTHREAD_START_ROUTINE routine);

// The list thread's work: the old items dropped for the waiting line, then
// request 1 with `selector` shown as items or one message line (`emptyId`
// with `emptyImage` for an empty list). The line of the same name as the
// one selected before is selected again.
void RefillInterfaceList(InterfaceListPageRecord& state, InterfaceSelector selector, InterfaceListReader reader,
                         unsigned emptyId, int emptyImage);

// The list thread's last step with the page's list: the marker cleared.
void EndInterfaceListThread(InterfaceListPageRecord& state);

// WM_DESTROY: the list thread joined (at an unload within its budget),
// the items (unless a list thread still owns them) and the pictures freed.
void CloseInterfaceListPage(InterfaceListPageRecord& state);
