#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <commctrl.h>

#include <cwchar>

// List-view items live in the owner's memory, so every request block is
// placed in the owning process and read back from there.
struct RemoteItem {
    LVITEMW item;
    wchar_t text[260];
};

struct RemoteBlock {
    HANDLE process;
    RemoteItem* remote;
};

static bool OpenRemote(HWND window, RemoteBlock* block)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    block->remote = nullptr;
    block->process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (block->process == nullptr)
        return false;
    block->remote =
        (RemoteItem*)VirtualAllocEx(block->process, nullptr, sizeof(RemoteItem), MEM_COMMIT, PAGE_READWRITE);
    if (block->remote == nullptr) {
        CloseHandle(block->process);
        return false;
    }
    return true;
}

static void CloseRemote(RemoteBlock* block)
{
    VirtualFreeEx(block->process, block->remote, 0, MEM_RELEASE);
    CloseHandle(block->process);
}

static bool SendRemote(HWND list, UINT message, WPARAM wParam, RemoteBlock* block, RemoteItem* local, DWORD timeoutMs,
                       DWORD_PTR* result)
{
    return WriteProcessMemory(block->process, block->remote, local, sizeof *local, nullptr) &&
        SendMessageTimeoutW(list, message, wParam, (LPARAM)&block->remote->item, SMTO_ABORTIFHUNG, timeoutMs, result) &&
        ReadProcessMemory(block->process, block->remote, local, sizeof *local, nullptr);
}

// List words[1] of window words[0], with a request block in its process;
// false when either cannot be had.
static bool OpenListControl(const DriverArgs* args, HWND* list, RemoteBlock* block)
{
    ULONGLONG id = 0;
    if (!ParseNumber(args->words[1], &id))
        return false;
    DWORD start = GetTickCount();
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    *list = window == nullptr ? nullptr : WaitControl(window, (int)id, start, args->timeoutMs);
    return *list != nullptr && OpenRemote(*list, block);
}

static bool ReadRow(HWND list, RemoteBlock* block, int index, DWORD timeoutMs, RemoteItem* local)
{
    *local = {};
    local->item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    local->item.iItem = index;
    local->item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    local->item.pszText = block->remote->text;
    local->item.cchTextMax = 259;
    DWORD_PTR found = 0;
    if (!SendRemote(list, LVM_GETITEMW, 0, block, local, timeoutMs, &found) || !found)
        return false;
    local->text[259] = 0;
    return true;
}

// "index<TAB>image<TAB>state<TAB>text" per item; the state is "selected",
// "focused", both joined by "+", or "-". Fails when an item cannot be read.
int ListItemsCommand(const DriverArgs* args)
{
    HWND list = nullptr;
    RemoteBlock block;
    if (!OpenListControl(args, &list, &block))
        return ConditionNotMet;
    DWORD_PTR count = 0;
    int result = SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count) ? ConditionMet
                                                                                                   : ConditionNotMet;
    for (int index = 0; result == ConditionMet && index < (int)count; ++index) {
        RemoteItem local;
        if (!ReadRow(list, &block, index, 2000, &local)) {
            result = ConditionNotMet;
            break;
        }
        bool selected = (local.item.state & LVIS_SELECTED) != 0;
        bool focused = (local.item.state & LVIS_FOCUSED) != 0;
        const wchar_t* state = selected && focused ? L"selected+focused"
            : selected                             ? L"selected"
            : focused                              ? L"focused"
                                                   : L"-";
        PrintLine(L"%d\t%d\t%ls\t%ls", index, local.item.iImage, state, local.text);
    }
    CloseRemote(&block);
    return result;
}

// Selects (and focuses) a row, or takes the selection away, as a click does.
int ListViewSelectCommand(const DriverArgs* args)
{
    ULONGLONG row = 0;
    if (!ParseNumber(args->words[2], &row))
        return UsageError;
    bool on = wcscmp(args->words[3], L"on") == 0;
    HWND list = nullptr;
    RemoteBlock block;
    if (!OpenListControl(args, &list, &block))
        return ConditionNotMet;
    RemoteItem local = {};
    local.item.stateMask = LVIS_SELECTED | (on ? LVIS_FOCUSED : 0);
    local.item.state = on ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    DWORD_PTR done = 0;
    bool sent = SendRemote(list, LVM_SETITEMSTATE, (WPARAM)row, &block, &local, args->timeoutMs, &done);
    CloseRemote(&block);
    return sent && done ? ConditionMet : ConditionNotMet;
}

// "layered <alpha>" or "opaque".
int LayeredCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        PrintLine(L"opaque");
    else
        PrintLine(L"layered %u", (unsigned)alpha);
    return ConditionMet;
}
