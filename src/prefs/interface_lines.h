// The list-view habits the Interface(s), Movements and Monitor(s) pages
// share: the state pictures, the one column, the waiting line, a message
// line, the sorted items with the remembered line selected.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/interface_list.h"
#include "prefs/interface_items.h"

const LPARAM WaitingLineData = 0xABCD1111;
const int WaitingImage = 9;
const int MessageImage = 10;
const int InformationImage = 13;

// `count` 16x16 pictures from a bitmap strip, magenta as the mask; null
// when the list cannot be made, empty when the bitmap cannot be loaded.
HIMAGELIST LoadImageStrip(UINT bitmapId, int count, UINT colorFlags);
// The strip of bitmap 144 set as the list's small images; the caller
// destroys it with the page. Null when it cannot be made.
HIMAGELIST AttachInterfaceImages(HWND list);
void InsertFittedColumn(HWND list);
void FitInterfaceColumn(HWND list);

void InsertInterfaceLine(HWND list, int line, const wchar_t* text, int image, LPARAM data);
void ShowWaitingLine(HWND list);
// String `id` as the only line of the list.
void ShowMessageLine(HWND list, unsigned id, int image);

// The item a line stands for, or null for the waiting or a message line.
InterfaceListItem* ItemOfListLine(HWND list, InterfaceListItem* items, size_t count, int line);
// Heap copy (delete[]) of the Name of the item at the selection mark, or null.
wchar_t* CopySelectedName(HWND list, InterfaceListItem* items, size_t count);

// Sorts the items into the list; the first with the remembered name (ASCII
// case ignored), else line 0, is selected and focused.
void ShowInterfaceItems(HWND list, InterfaceListItem* items, size_t count, const wchar_t* remembered);

// Decodes the reply into a fresh item array and shows it, or one message
// line: `emptyId` for an empty list. Returns the array (null with a message
// line) and its count.
InterfaceListItem* FillInterfaceList(HWND list, InterfaceListReader reader, ServiceStatus status,
                                     const ServiceReply& reply, unsigned emptyId, int emptyImage,
                                     const wchar_t* remembered, size_t* count);
