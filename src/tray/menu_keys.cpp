#include "tray/menu_draw.h"
#include "tray/menu_mnemonics.h"

// Room for the longest text a tray item carries: an interface name.
static const int ItemTextCapacity = 520;

LRESULT AnswerMenuChar(WPARAM wParam, LPARAM lParam)
{
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    const wchar_t key = wchar_t(LOWORD(wParam));
    if (!menu || (HIWORD(wParam) & MF_SYSMENU) != 0)
        return MAKELRESULT(0, MNC_IGNORE);
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[ItemTextCapacity] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ItemTextCapacity;
        if (!GetMenuItemInfoW(menu, UINT(position), TRUE, &info))
            continue;
        // A greyed item cannot be chosen; its letter falls through to the
        // items after it, as in menus the system draws.
        if ((info.fType & MFT_SEPARATOR) != 0 || (info.fState & (MFS_DISABLED | MFS_GRAYED)) != 0)
            continue;
        text[ItemTextCapacity - 1] = 0;
        if (MnemonicMatches(text, key))
            return MAKELRESULT(position, MNC_EXECUTE);
    }
    return MAKELRESULT(0, MNC_IGNORE);
}
