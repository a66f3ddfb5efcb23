#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

// Screen rectangle of a window, for the pixel checks of the scripts.
int WindowRectCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    RECT rect;
    if (window == nullptr || !GetWindowRect(window, &rect))
        return ConditionNotMet;
    PrintLine(L"%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
    return ConditionMet;
}

// region <caption>: "none", or the bounding box of the window's region in
// window coordinates, with how many rectangles make it up.
int RegionCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (region == nullptr)
        return ConditionNotMet;
    if (GetWindowRgn(window, region) == ERROR) {
        PrintLine(L"none");
    } else {
        RECT box;
        GetRgnBox(region, &box);
        DWORD bytes = GetRegionData(region, 0, nullptr);
        RGNDATA* data = bytes ? (RGNDATA*)HeapAlloc(GetProcessHeap(), 0, bytes) : nullptr;
        DWORD count = 0;
        if (data != nullptr && GetRegionData(region, bytes, data) != 0)
            count = data->rdh.nCount;
        if (data != nullptr)
            HeapFree(GetProcessHeap(), 0, data);
        PrintLine(L"%ld %ld %ld %ld in %lu", box.left, box.top, box.right, box.bottom, count);
    }
    DeleteObject(region);
    return ConditionMet;
}

// Removes a window's notification icon (id 0) as a shell restart would.
int TrayDeleteCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = 0;
    return Shell_NotifyIconW(NIM_DELETE, &data) ? ConditionMet : ConditionNotMet;
}

// Down and up of one virtual key, posted to a window of the target thread;
// a menu in TrackPopupMenu reads them from that thread's queue.
int KeyCommand(const DriverArgs* args)
{
    ULONGLONG key = 0;
    if (!ParseNumber(args->words[1], &key))
        return UsageError;
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    PostMessageW(window, WM_KEYDOWN, (WPARAM)key, 1);
    return PostMessageW(window, WM_KEYUP, (WPARAM)key, (LPARAM)0xC0000001) ? ConditionMet : ConditionNotMet;
}

// Texts of every visible tool of every tooltip window; the texts live in
// the tooltip owner's memory, so the request block is placed there.
struct RemoteToolRequest {
    TTTOOLINFOW info;
    wchar_t text[256];
};

static void PrintToolTexts(HWND tooltip, const wchar_t* wanted)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(tooltip, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return;
    RemoteToolRequest* remote =
        (RemoteToolRequest*)VirtualAllocEx(process, nullptr, sizeof(RemoteToolRequest), MEM_COMMIT, PAGE_READWRITE);
    if (remote != nullptr) {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            RemoteToolRequest local = {};
            local.info.cbSize = sizeof local.info;
            local.info.lpszText = remote->text;
            DWORD_PTR found = 0;
            if (!WriteProcessMemory(process, remote, &local, sizeof local, nullptr) ||
                !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, i, (LPARAM)&remote->info, SMTO_ABORTIFHUNG, 2000,
                                     &found) ||
                !found || !ReadProcessMemory(process, remote, &local, sizeof local, nullptr))
                continue;
            local.text[255] = 0;
            // A removed icon leaves its tool behind with an empty rectangle
            // on a hidden window; only a tool one can hover counts.
            if (!IsWindowVisible(local.info.hwnd) || IsRectEmpty(&local.info.rect))
                continue;
            if (wanted == nullptr) {
                PrintLine(L"%ls", local.text);
            } else if (wcscmp(local.text, wanted) == 0) {
                // Where the pointer must rest for that tip, on the screen.
                RECT area = local.info.rect;
                MapWindowPoints(local.info.hwnd, nullptr, (POINT*)&area, 2);
                PrintLine(L"%ld %ld %ld %ld", area.left, area.top, area.right, area.bottom);
            }
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
}

static BOOL CALLBACK VisitTooltip(HWND window, LPARAM wanted)
{
    wchar_t className[64];
    if (GetClassNameW(window, className, 64) != 0 && _wcsicmp(className, TOOLTIPS_CLASSW) == 0)
        PrintToolTexts(window, (const wchar_t*)wanted);
    return TRUE;
}

// tooltips [text]: every tool's text, or the screen rectangle of the tools
// with that text.
int TooltipsCommand(const DriverArgs* args)
{
    EnumWindows(VisitTooltip, args->count > 0 ? (LPARAM)args->words[0] : 0);
    return ConditionMet;
}

// wait-tip <text>: until a tooltip is on show with that text; prints its
// screen rectangle.
int WaitTipCommand(const DriverArgs* args)
{
    DWORD start = GetTickCount();
    do {
        HWND tip = nullptr;
        while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
            wchar_t text[512];
            RECT rect;
            if (IsWindowVisible(tip) && ReadWindowText(tip, text, 512) && wcscmp(text, args->words[0]) == 0 &&
                GetWindowRect(tip, &rect)) {
                PrintLine(L"%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
                return ConditionMet;
            }
        }
    } while (WaitStep(start, args->timeoutMs));
    return ConditionNotMet;
}
