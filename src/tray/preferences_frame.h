// The preferences window's page tree and its four pages, which are made on
// first selection and kept, hidden, while another page is on show.
#pragma once

#include <windows.h>
#include <commctrl.h>

extern HWND GeneralPage;
extern HWND MonitorsPage;
extern HWND InterfacesPage;
extern HWND MovementsPage;
extern HWND CurrentPage;
extern HTREEITEM MonitorsTreeItem;

// Fills the tree of the main dialog and selects "General", which makes the
// General page at once.
void FillPageTree(HWND mainDialog);
// TVN_SELCHANGEDW from the page tree; anything else is ignored.
void OnTreeNotify(const NMHDR* header);
// Each page calls this from its WM_INITDIALOG to sit in the page area.
void PlacePage(HWND page);
