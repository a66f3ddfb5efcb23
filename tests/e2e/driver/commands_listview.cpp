// list-items: the lines of a list view, read through a block placed in the
// list's own process, since list-view messages carry pointers.
#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <commctrl.h>

struct RemoteItemRequest {
    LVITEMW item;
    wchar_t text[512];
};

static bool ReadItem(HANDLE process, RemoteItemRequest* remote, HWND list, int index, RemoteItemRequest* local)
{
    *local = {};
    local->item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    local->item.iItem = index;
    local->item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    local->item.pszText = remote->text;
    local->item.cchTextMax = 512;
    DWORD_PTR done = 0;
    if (!WriteProcessMemory(process, remote, local, sizeof *local, NULL) ||
        !SendMessageTimeoutW(list, LVM_GETITEMW, 0, (LPARAM)&remote->item, SMTO_ABORTIFHUNG, 2000, &done) || !done ||
        !ReadProcessMemory(process, remote, local, sizeof *local, NULL))
        return false;
    local->text[511] = 0;
    return true;
}

// Prints "index<TAB>image<TAB>state<TAB>text" per line; the state is
// "selected", "focused", both joined by "+", or "-".
int ListItemsCommand(const DriverArgs* args)
{
    ULONGLONG id = 0;
    if (!ParseNumber(args->words[1], &id))
        return UsageError;
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == NULL)
        return ConditionNotMet;
    HWND list = GetDlgItem(window, (int)id);
    if (list == NULL)
        return ConditionNotMet;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == NULL)
        return ConditionNotMet;
    int result = ConditionNotMet;
    RemoteItemRequest* remote =
        (RemoteItemRequest*)VirtualAllocEx(process, NULL, sizeof(RemoteItemRequest), MEM_COMMIT, PAGE_READWRITE);
    DWORD_PTR count = 0;
    if (remote != NULL &&
        SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) {
        result = ConditionMet;
        for (int index = 0; index < (int)count; ++index) {
            RemoteItemRequest local;
            if (!ReadItem(process, remote, list, index, &local)) {
                result = ConditionNotMet;
                break;
            }
            bool selected = (local.item.state & LVIS_SELECTED) != 0;
            bool focused = (local.item.state & LVIS_FOCUSED) != 0;
            const wchar_t* state = selected && focused ? L"selected+focused"
                                   : selected          ? L"selected"
                                   : focused           ? L"focused"
                                                       : L"-";
            PrintLine(L"%d\t%d\t%ls\t%ls", index, local.item.iImage, state, local.text);
        }
    }
    if (remote != NULL)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}
