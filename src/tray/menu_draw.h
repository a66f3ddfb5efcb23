// The owner-drawn tray menu: a tree of draw records kept beside a popup menu,
// one per item plus a root for the popup, with each item's pictures, its
// measured size and, in the root, the fonts and the side banner.
//
// Use, once per opening, on the thread that owns the window:
//   root = AttachMenuItem(nullptr, popup, MenuRootId, MenuRootPosition);
//   for each item of the popup, in any order:
//     r = AttachMenuItem(root, popup, id, position);  // id: command,
//         // MenuSubmenuId or MenuSeparatorId
//     r->iconId = IDB_...; (r->greyIconId = IDB_... when the disabled
//         // picture differs) LoadItemImages(r, 18, 18);
//   for each item of a submenu, its records hang under the submenu's record:
//     AttachMenuItem(submenuRecord, submenu, id, position);
//     (MenuInformationId for a disabled information line)
//   PrepareMenu(window, root);  // after the texts and states are final
//   TrackPopupMenu(popup, ..., window, ...);
//     window's procedure: WM_MEASUREITEM -> MeasureItem(lParam),
//                         WM_DRAWITEM -> DrawItem(lParam),
//                         WM_MENUCHAR -> AnswerMenuChar(wParam, lParam)
//   FreeMenuRecords(root);  // once TrackPopupMenu has returned; the items
//                           // still point at the records, so the menu is
//                           // not shown again without new ones
// The records never own userData.
#pragma once

#include <windows.h>

#include <cstdint>

const uint32_t MenuRootId = 0xFFFFFFFF;  // also a submenu's record
const uint32_t MenuSubmenuId = 0xFFFFFFFF;
const uint32_t MenuSeparatorId = 0xFFFFFFFE;
const uint32_t MenuInformationId = 0xFFFFFFFD;
const uint32_t MenuRootPosition = 0xFFFFFFFF;

// A picture on the highlight colour and on the menu colour.
struct MenuImageSet {
    uint32_t id;
    HBITMAP highlighted, normal;
    SIZE highlightedSize, normalSize;
};

struct MenuDrawRecord {
    MenuDrawRecord* parent;
    MenuDrawRecord* firstChild;  // the most recently attached child
    MenuDrawRecord* nextSibling;
    HMENU menu;
    HFONT normalFont;  // root only
    HFONT boldFont;    // root only
    HBITMAP banner;    // root only
    int bannerWidth;   // root only
    int totalHeight;   // root only: the popup's height, the banner's height
    int bannerOffset;  // first banner row of this item's slice
    int maxExtraWidth, maxExtraHeight;
    int maxIconWidth, maxIconHeight;
    int width, height;
    uint32_t commandId;
    uint32_t position;
    uint32_t iconId;
    HBITMAP iconHighlighted, iconNormal;
    SIZE iconHighlightedSize, iconNormalSize;
    uint32_t greyIconId;  // 0: the grey pictures are made from iconId
    HBITMAP greyHighlighted, greyNormal;
    SIZE greyHighlightedSize, greyNormalSize;
    MenuImageSet further[2];  // never loaded; measured as empty
    void* userData;
};

// Null when out of memory. With a real position the item becomes owner-drawn
// and carries the record as its item data.
MenuDrawRecord* AttachMenuItem(MenuDrawRecord* parent, HMENU menu, uint32_t commandId, uint32_t position);
// Loads the record's pictures from this program's bitmap resources, scaled
// to cx x cy; a picture that cannot be made is left out.
void LoadItemImages(MenuDrawRecord* record, int cx, int cy);
void PrepareMenu(HWND window, MenuDrawRecord* root);
BOOL MeasureItem(MEASUREITEMSTRUCT* item);
BOOL DrawItem(const DRAWITEMSTRUCT* item);
// The answer to WM_MENUCHAR for a popup of owner-drawn items: the first
// enabled item whose '&' letter was typed is chosen, else the key is ignored.
LRESULT AnswerMenuChar(WPARAM wParam, LPARAM lParam);
void FreeMenuRecords(MenuDrawRecord* root);
