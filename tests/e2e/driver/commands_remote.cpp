// Controls whose items live in their owner's memory: each request block is
// placed in the owning process and read back from there.
#include "driver.h"

#include <commctrl.h>

#include <cwchar>

struct RemoteItem {
    LVITEMW item;
    wchar_t text[260];
};

// index image state text per item; fails when an item cannot be read.
int ListItems(const DriverArgs* args)
{
    const wchar_t* states[] = {L"-", L"focused", L"selected", L"selected+focused"};
    Remote remote;
    DWORD_PTR count = 0, found = 0;
    if (!OpenRemote(args->target, sizeof(RemoteItem), &remote))
        return NotMet;
    bool read = SendMessageTimeoutW(args->target, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int index = 0; read && index < int(count); ++index) {
        RemoteItem local = {{LVIF_TEXT | LVIF_IMAGE | LVIF_STATE, index}};
        local.item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        local.item.pszText = ((RemoteItem*)remote.block)->text;
        local.item.cchTextMax = 259;
        read = SendRemote(&remote, args->target, LVM_GETITEMW, 0, &local, sizeof local, &found) && found;
        local.text[259] = 0;
        if (read)
            Print(L"%d\t%d\t%ls\t%ls", index, local.item.iImage, states[local.item.state & 3], local.text);
    }
    CloseRemote(&remote);
    return read ? Met : NotMet;
}

// Selects (and focuses) a row, or takes the selection away, as a click does.
int SelectRow(const DriverArgs* args)
{
    bool on = !wcscmp(args->words[3], L"on");
    RemoteItem local = {};
    local.item.stateMask = LVIS_SELECTED | (on ? LVIS_FOCUSED : 0);
    local.item.state = on ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    Remote remote;
    DWORD_PTR done = 0;
    if (!OpenRemote(args->target, sizeof local, &remote))
        return NotMet;
    bool sent =
        SendRemote(&remote, args->target, LVM_SETITEMSTATE, WPARAM(args->number[2]), &local, sizeof local, &done);
    CloseRemote(&remote);
    return sent && done ? Met : NotMet;
}

struct RemoteTool {
    TTTOOLINFOW info;
    wchar_t text[256];
};

// Every tool of a tooltip window: its text, or for a wanted text, the
// screen rectangle where the pointer must rest for that tip.
static BOOL CALLBACK PrintTools(HWND tooltip, LPARAM wanted)
{
    wchar_t name[64];
    Remote remote;
    DWORD_PTR count = 0, found = 0;
    if (!GetClassNameW(tooltip, name, 64) || _wcsicmp(name, TOOLTIPS_CLASSW) ||
        !OpenRemote(tooltip, sizeof(RemoteTool), &remote))
        return TRUE;
    SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (DWORD_PTR i = 0; i < count; ++i) {
        RemoteTool local = {};
        local.info.cbSize = sizeof local.info;
        local.info.lpszText = ((RemoteTool*)remote.block)->text;
        // A removed icon leaves its tool behind with an empty rectangle on a
        // hidden window; only a tool one can hover counts.
        if (!SendRemote(&remote, tooltip, TTM_ENUMTOOLSW, i, &local, sizeof local, &found) || !found ||
            !IsWindowVisible(local.info.hwnd) || IsRectEmpty(&local.info.rect))
            continue;
        local.text[255] = 0;
        MapWindowPoints(local.info.hwnd, nullptr, (POINT*)&local.info.rect, 2);
        if (!wanted)
            Print(L"%ls", local.text);
        else if (!wcscmp(local.text, (const wchar_t*)wanted))
            PrintRect(local.info.rect);
    }
    CloseRemote(&remote);
    return TRUE;
}

int Tooltips(const DriverArgs* args)
{
    EnumWindows(PrintTools, args->count ? LPARAM(args->words[0]) : 0);
    return Met;
}

// Until a tooltip is on show with that text; prints its rectangle.
int WaitTip(const DriverArgs* args)
{
    do {
        HWND tip = nullptr;
        wchar_t text[512];
        RECT rect;
        while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))) {
            if (IsWindowVisible(tip) && ReadWindowText(tip, text, 512) && !wcscmp(text, args->words[0]) &&
                GetWindowRect(tip, &rect)) {
                PrintRect(rect);
                return Met;
            }
        }
    } while (WaitStep(args));
    return NotMet;
}
