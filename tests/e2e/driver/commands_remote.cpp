// Controls whose items live in their owner's memory.
#include "driver.h"

#include <commctrl.h>

#include <cwchar>

struct Item {
    LVITEMW item;
    wchar_t text[256];
};

struct Tool {
    TTTOOLINFOW info;
    wchar_t text[256];
};

// Copies local (a request that ends with room for 256 characters of text,
// which link, where given, is aimed at) into a block placed in the window's
// process, sends the block's address, and copies it back; false unless the
// answer is non-zero.
static bool SendRemote(HWND to, UINT message, WPARAM wParam, void* local, SIZE_T size, LPWSTR* link)
{
    DWORD pid = 0;
    DWORD_PTR answer = 0;
    GetWindowThreadProcessId(to, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    char* block = process ? (char*)VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (link)
        *link = LPWSTR(block + size) - 256;
    bool sent = block && WriteProcessMemory(process, block, local, size, nullptr) &&
        SendMessageTimeoutW(to, message, wParam, LPARAM(block), SMTO_ABORTIFHUNG, 2000, &answer) && answer &&
        ReadProcessMemory(process, block, local, size, nullptr);
    if (process) {
        VirtualFreeEx(process, block, 0, MEM_RELEASE);
        CloseHandle(process);
    }
    LPWSTR((char*)local + size)[-1] = 0;
    return sent;
}

// index image state text per item; fails when an item cannot be read.
int ListItems(const DriverArgs* args)
{
    const wchar_t* states[] = {L"-", L"focused", L"selected", L"selected+focused"};
    DWORD_PTR count = 0;
    bool read = SendMessageTimeoutW(args->target, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int i = 0; read && i < int(count); ++i) {
        Item local = {{LVIF_TEXT | LVIF_IMAGE | LVIF_STATE, i, 0, 0, LVIS_SELECTED | LVIS_FOCUSED, nullptr, 256}};
        if ((read = SendRemote(args->target, LVM_GETITEMW, 0, &local, sizeof local, &local.item.pszText)))
            Print(L"%d\t%d\t%ls\t%ls", i, local.item.iImage, states[local.item.state & 3], local.text);
    }
    return read ? Met : NotMet;
}

// Selects (and focuses) a row, or takes the selection away, as a click does.
int SelectRow(const DriverArgs* args)
{
    UINT on = wcscmp(args->words[3], L"on") ? 0 : LVIS_SELECTED | LVIS_FOCUSED;
    Item local = {{0, 0, 0, on, LVIS_SELECTED | on}};
    return SendRemote(args->target, LVM_SETITEMSTATE, WPARAM(args->number[2]), &local, sizeof local, nullptr) ? Met
                                                                                                              : NotMet;
}

// Every tool of every tooltip window: its text, or for a wanted text, the
// screen rectangle where the pointer must rest for that tip.
int Tooltips(const DriverArgs* args)
{
    for (HWND tooltip = nullptr; (tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr));) {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            Tool local = {{sizeof local.info}};
            // A removed icon leaves its tool behind with an empty rectangle
            // on a hidden window; only a tool one can hover counts.
            if (!SendRemote(tooltip, TTM_ENUMTOOLSW, i, &local, sizeof local, &local.info.lpszText) ||
                !IsWindowVisible(local.info.hwnd) || IsRectEmpty(&local.info.rect))
                continue;
            MapWindowPoints(local.info.hwnd, nullptr, (POINT*)&local.info.rect, 2);
            if (!args->count)
                Print(L"%ls", local.text);
            else if (!wcscmp(local.text, args->words[0]))
                PrintRect(local.info.rect);
        }
    }
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
