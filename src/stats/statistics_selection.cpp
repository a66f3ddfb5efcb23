// What changes the statistics window's choice: an interface or connection
// chosen in a combo, a network status change, a confirmed clear. Each runs
// on a short-lived thread, since it waits for the state mutex, and then
// wakes the worker.
#include <new>

#include "platform/thread_wait.h"
#include "stats/statistics_state.h"
#include "stats/statistics_window.h"

static void Lock()
{
    WaitForSingleObject(StatisticsWindowState.stateMutex, INFINITE);
}

static void UnlockAndUpdate()
{
    ReleaseMutex(StatisticsWindowState.stateMutex);
    SetEvent(StatisticsWindowState.updateEvent);
}

DWORD WINAPI SelectInterface(void* parameter)
{
    Text16* name = static_cast<Text16*>(parameter);
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    Lock();
    s.interfaceValid = s.connectionValid = false;
    s.clearCurrentPending = s.clearOverallPending = false;
    s.needConnectionList = false;
    s.needInterfaceList = true;
    if (StatisticsWindow)
        ResetAllFields(StatisticsWindow);
    s.interfaceName.swap(*name);  // no allocation while the lock is held
    s.hasInterfaceName = true;
    UnlockAndUpdate();
    delete name;
    return 0;
}

DWORD WINAPI SelectConnection(void* parameter)
{
    Text16* name = static_cast<Text16*>(parameter);
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    Lock();
    s.connectionValid = false;
    s.clearCurrentPending = s.clearOverallPending = false;
    s.needInterfaceList = false;
    s.needConnectionList = true;
    if (StatisticsWindow)
        ResetCurrentFields(StatisticsWindow, true);
    if (name) {
        s.connectionName.swap(*name);
        s.hasConnectionName = true;
    }
    UnlockAndUpdate();
    delete name;
    return 0;
}

DWORD WINAPI StartClear(void* result)
{
    DWORD answer = DWORD(reinterpret_cast<UINT_PTR>(result));
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    Lock();
    s.interfaceValid = s.connectionValid = false;
    s.needInterfaceList = true;
    if (StatisticsWindow)
        ResetAllFields(StatisticsWindow);
    if ((answer >> 16) == 0xADCB) {
        s.clearOverallPending = false;
        s.clearCurrentPending = true;
        s.clearAllCurrent = (answer & 1) != 0;
    }
    UnlockAndUpdate();
    return 0;
}

void StartSelection(HWND window, int combo, int other, LPTHREAD_START_ROUTINE routine)
{
    LRESULT index = SendDlgItemMessageW(window, combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return;
    SaveFocus(window);
    wchar_t text[512] = L"";
    LRESULT length = SendDlgItemMessageW(window, combo, CB_GETLBTEXTLEN, index, 0);
    if (length != CB_ERR && length < 512)
        SendDlgItemMessageW(window, combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    EnableWindow(GetDlgItem(window, combo), FALSE);
    EnableWindow(GetDlgItem(window, other), FALSE);
    // The copy's own allocation can fail too, not only the object's.
    Text16* copy = nullptr;
    try {
        copy = new Text16(text);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (!StartStatisticsHelper(HelperSelection, routine, copy))
        delete copy;
}

static bool HelperRuns(HANDLE* slot)
{
    if (!*slot)
        return false;
    if (WaitForSingleObject(*slot, 0) == WAIT_TIMEOUT)
        return true;
    CloseHandle(*slot);
    *slot = nullptr;
    return false;
}

bool StartStatisticsHelper(StatisticsHelper kind, LPTHREAD_START_ROUTINE routine, void* parameter)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if ((s.closing && kind != HelperClose) || HelperRuns(&s.helpers[kind]))
        return false;
    s.helpers[kind] = CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
    return s.helpers[kind] != nullptr;
}

void JoinStatisticsHelpers()
{
    for (int kind = 0; kind < HelperKinds; ++kind) {
        HANDLE& helper = StatisticsWindowState.helpers[kind];
        if (kind == HelperClose || !helper)
            continue;
        WaitForThreadAnswering(helper, INFINITE);
        CloseHandle(helper);
        helper = nullptr;
    }
}
