#include "stats/statistics_window.h"

#include <new>

#include <ctime>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "platform/thread_wait.h"
#include "prefs/agent_options.h"
#include "resources/resource_ids.h"
#include "stats/statistics_state.h"
#include "tray/tray_commands.h"

HWND StatisticsWindow;
// Zeroed at load; the stored position counts only once PositionStored is set.
StatisticsWindowStateRecord StatisticsWindowState;

static const UINT_PTR TickTimerId = 0xA234;
static const int ValueFields[12] = {IDC_STATS_CREATED,          IDC_STATS_LAST_CLEARED,     IDC_STATS_LAST_MODIFIED,
                                    IDC_STATS_OVERALL_SUMMARY,  IDC_STATS_CONNECTION_COUNT, IDC_STATS_OVERALL_SENT,
                                    IDC_STATS_OVERALL_RECEIVED, IDC_STATS_CURRENT_SUMMARY,  IDC_STATS_CURRENT_SENT,
                                    IDC_STATS_CURRENT_RECEIVED, IDC_STATS_LINK_SPEED,       IDC_STATS_AVERAGE_SPEED};

// One window's life at a time: a window opened while the previous one's
// close routine still runs waits here, so the old routine cannot close the
// new window's events, mutex or worker. Made on first use and kept for the
// agent's life, like the window's stored position.
static HANDLE WindowSlot;
static volatile LONG WindowStarting;
// Set once by the shutdown: a window still starting ends at once, and none
// opens after it.
static volatile LONG WindowsEnded;
static bool PositionStored;

void PostStatisticsStatusChange()
{
    HWND window = StatisticsWindow;
    if (!window)
        return;
    PostMessageW(window, WM_STATS_STATUS_CHANGED, 0, 0);
    InterlockedIncrement(&StatisticsWindowState.statusChangeCount);
}

void StartStatisticsWindow()
{
    if (!WindowSlot)
        WindowSlot = CreateSemaphoreW(nullptr, 1, 1, nullptr);
    if (!WindowSlot || InterlockedCompareExchange(&WindowsEnded, 0, 0))
        return;
    // A second double-click before the first window is up opens nothing more.
    if (InterlockedExchange(&WindowStarting, 1) != 0)
        return;
    HANDLE thread = CreateThread(nullptr, 0, OpenStatisticsWindow, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(thread);
    else
        InterlockedExchange(&WindowStarting, 0);
}

static void ApplyZOrder(HWND window)
{
    SetWindowPos(window, StatisticsWindowState.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE);
    InvalidateRect(GetDlgItem(window, IDC_STATS_TOPMOST_PIN), nullptr, TRUE);
}

static void ReloadOptions(HWND window)
{
    SetWindowTextW(window, L"ZorvanHAgent Interface Statistics");
    const StatisticWindowOptionsRecord& o = StatisticWindowOptions;
    // Administrators complete the key with the values in memory; others open
    // it read-only and only read it.
    HKEY key = OpenAgentSettingsKey(L"StatisticWindow", IsAdmin, IsAdmin);
    if (key) {
        SyncStatisticWindowOptions(key, IsAdmin);
        RegCloseKey(key);
    }
    StatisticsWindowState.topmost = o.ShowWindowOnTop;
    ApplyZOrder(window);
    SetDlgItemTextW(window, IDC_STATS_GROUP,
                    o.DontConsiderHardwareHeaders ? L"Statistics * without hardware headers *" : L"Statistics ");
    StatisticsWindowState.settingsReloaded = true;
}

static void PlaceWindow(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (!PositionStored || s.left < 0 || s.top < 0) {
        RECT r;
        GetWindowRect(window, &r);
        s.left = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
        s.top = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
        PositionStored = true;
    }
    SetWindowPos(window, nullptr, s.left, s.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

static DWORD WINAPI StatisticsWorker(void* parameter);

static void InitStatisticsWindow(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    InterlockedExchange(&s.statusChangeCount, 0);
    // Published before the shutdown's flag is read, so that the shutdown
    // either finds this window or this window finds the flag.
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&StatisticsWindow), window);
    InterlockedExchange(&WindowStarting, 0);
    if (InterlockedCompareExchange(&WindowsEnded, 0, 0)) {
        EndDialog(window, 0);
        return;
    }
    ReloadOptions(window);
    HICON icon = LoadIconW(AppInstance, MAKEINTRESOURCEW(IDI_STATISTICS));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    ApplyZOrder(window);
    PlaceWindow(window);

    LOGFONTW font = {};
    font.lfHeight = 13;
    font.lfWeight = 800;
    font.lfPitchAndFamily = VARIABLE_PITCH;
    s.valueFont = CreateFontIndirectW(&font);
    for (int field : ValueFields) {
        SendDlgItemMessageW(window, field, EM_SETREADONLY, 1, 0);
        if (s.valueFont)
            SendDlgItemMessageW(window, field, WM_SETFONT, reinterpret_cast<WPARAM>(s.valueFont), FALSE);
        SetDlgItemTextW(window, field, L"");
    }
    ResetAllFields(window);
    s.entries.clear();
    s.currentEntry = -1;
    s.needInterfaceList = true;
    s.clearOverallPending = false;
    s.clearCurrentPending = false;
    s.needConnectionList = false;

    s.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s.updateEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    s.stateMutex = CreateMutexW(nullptr, FALSE, nullptr);
    // Without its events the window stays open, showing the wait text.
    if (s.stopEvent && s.updateEvent && s.stateMutex)
        s.worker = CreateThread(nullptr, 0, StatisticsWorker, window, 0, nullptr);
    SetTimer(window, TickTimerId, 1000, nullptr);
    PostMessageW(window, WM_TIMER, TickTimerId, 0);
}

static void Tick(HWND window)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm calendar = {};
    calendar.tm_hour = now.wHour;
    calendar.tm_min = now.wMinute;
    calendar.tm_sec = now.wSecond;
    wchar_t caption[96];
    size_t n = wcsftime(caption, 64, L"Overall (Current Time: %H:%M:%S", &calendar);
    if (StatisticWindowOptions.HideMSInTime)
        wsprintfW(caption + n, L") ");
    else
        wsprintfW(caption + n, L".%03d) ", int(now.wMilliseconds));
    SetDlgItemTextW(window, IDC_STATS_OVERALL_GROUP, caption);
    if (StatisticsWindowState.updateEvent)
        SetEvent(StatisticsWindowState.updateEvent);
}

static void StatisticsUpdate(HWND window, bool needInterfaceList, bool needConnectionList)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    bool listsRefreshed = false;
    if (s.settingsReloaded) {
        const StatisticWindowOptionsRecord& o = StatisticWindowOptions;
        s.hideMs = o.HideMSInTime;
        s.noHardwareHeaders = o.DontConsiderHardwareHeaders;
        s.averageInBytes = o.AverageSpeedInBytesPerSecond;
        s.speedInBytes = o.SpeedInBytesPerSecond;
        s.settingsReloaded = false;
        RefreshInterfaceList(window);
        listsRefreshed = true;
    } else if (needInterfaceList) {
        RefreshInterfaceList(window);
        listsRefreshed = true;
    } else if (needConnectionList || InterlockedCompareExchange(&s.statusChangeCount, 0, 0) != 0) {
        if (!RefreshConnectionList(window)) {
            RefreshInterfaceList(window);
            listsRefreshed = true;
        }
    }
    UpdateStatisticsFields(window, listsRefreshed);
    if (s.interfaceValid && s.hasInterfaceName) {
        EnableWindow(GetDlgItem(window, IDC_STATS_INTERFACE_COMBO), TRUE);
        EnableWindow(GetDlgItem(window, IDC_STATS_CLEAR_OVERALL), IsAdmin);
        if (s.connectionValid && s.hasConnectionName) {
            EnableWindow(GetDlgItem(window, IDC_STATS_CONNECTION_COMBO), TRUE);
            EnableWindow(GetDlgItem(window, IDC_STATS_CLEAR_CURRENT), TRUE);
        }
    }
    if (s.focusSaved && IsWindowEnabled(s.savedFocus)) {
        s.focusSaved = false;
        SendMessageW(window, WM_STATS_RESTORE_FOCUS, reinterpret_cast<WPARAM>(s.savedFocus), 0);
    }
}

static DWORD WINAPI StatisticsWorker(void* parameter)
{
    HWND window = static_cast<HWND>(parameter);
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    HANDLE waits[2] = {s.stopEvent, s.updateEvent};
    for (;;) {
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0)
            return 0;
        if (woke != WAIT_OBJECT_0 + 1)
            continue;
        WaitForSingleObject(s.stateMutex, INFINITE);
        try {
            StatisticsUpdate(window, s.needInterfaceList, s.needConnectionList);
            s.needInterfaceList = false;
            s.needConnectionList = false;
        } catch (const std::bad_alloc&) {
            // No exception leaves the worker: an update that ran out of
            // memory counts as failed, and the next tick lists again.
            s.interfaceValid = s.connectionValid = false;
            s.needInterfaceList = true;
        }
        ReleaseMutex(s.stateMutex);
        ResetEvent(s.updateEvent);
    }
}

// Releases what the window made, once, whoever ends it. Runs with the
// window slot still held, so the handles are this window's own.
static void StopWorkerAndEvents()
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (s.stopEvent)
        SetEvent(s.stopEvent);
    if (s.worker) {
        WaitForThreadAnswering(s.worker, INFINITE);
        CloseHandle(s.worker);
    }
    // The helpers wait for the state mutex and wake the worker: they go
    // before either does.
    JoinStatisticsHelpers();
    if (s.updateEvent)
        CloseHandle(s.updateEvent);
    if (s.stopEvent)
        CloseHandle(s.stopEvent);
    if (s.stateMutex)
        CloseHandle(s.stateMutex);
    s.worker = s.updateEvent = s.stopEvent = s.stateMutex = nullptr;
}

static DWORD WINAPI CloseStatisticsWindow(void* parameter)
{
    HWND window = static_cast<HWND>(parameter);
    StopWorkerAndEvents();
    StatisticsWindow = nullptr;
    // `closing` stays set until the window's thread is done: no helper may
    // start on the handles just closed.
    EndDialog(window, 0);
    return 0;
}

static void HideWindow(HWND window)
{
    StatsHiddenByDisable = false;
    RECT r;
    if (GetWindowRect(window, &r)) {
        StatisticsWindowState.left = r.left;
        StatisticsWindowState.top = r.top;
        PositionStored = true;
    }
    SendMessageW(window, AGENT_CLOSE_COMMAND, 0, 0);
    StatisticsWindow = nullptr;
}

static void ToggleTopmost(HWND window)
{
    StatisticsWindowState.topmost = !StatisticsWindowState.topmost;
    ApplyZOrder(window);
}

static void RunCommand(HWND window, WORD id, WORD notification)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        HideWindow(window);
        return;
    case IDC_STATS_INTERFACE_COMBO:
        if (notification == CBN_SELCHANGE)
            StartSelection(window, IDC_STATS_INTERFACE_COMBO, IDC_STATS_CONNECTION_COMBO, SelectInterface);
        return;
    case IDC_STATS_CONNECTION_COMBO:
        if (notification == CBN_SELCHANGE)
            StartSelection(window, IDC_STATS_CONNECTION_COMBO, IDC_STATS_INTERFACE_COMBO, SelectConnection);
        return;
    case IDC_STATS_CLEAR_OVERALL:
        AskClearOverall(window);
        return;
    case IDC_STATS_CLEAR_CURRENT:
        AskClearCurrent(window);
        return;
    case IDC_STATS_TOPMOST_PIN:
        ToggleTopmost(window);
        return;
    }
}

static void DrawPin(const DRAWITEMSTRUCT* item)
{
    if (item->CtlID != IDC_STATS_TOPMOST_PIN)
        return;
    bool topmost = StatisticsWindowState.topmost;
    RECT r = item->rcItem;
    DrawEdge(item->hDC, &r, topmost ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    // Shared icons belong to the system's cache: nothing to destroy.
    HICON icon = static_cast<HICON>(
        LoadImageW(AppInstance, MAKEINTRESOURCEW(topmost ? IDI_PIN_DOWN : IDI_PIN_UP), IMAGE_ICON, 16, 16, LR_SHARED));
    if (icon)
        DrawIconEx(item->hDC, (r.right - r.left - 16) / 2, (r.bottom - r.top - 16) / 2, icon, 16, 16, 0, nullptr,
                   DI_NORMAL);
}

static INT_PTR CALLBACK StatisticsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitStatisticsWindow(window);
        return TRUE;
    case WM_TIMER:
        Tick(window);
        return TRUE;
    case WM_COMMAND:
        RunCommand(window, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawPin(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return FALSE;
    case AGENT_CLOSE_COMMAND:
        if (!StatisticsWindowState.closing) {
            StatisticsWindowState.closing = true;
            // Without its thread the window ends here, and its own thread
            // releases the rest.
            if (!StartStatisticsHelper(HelperClose, CloseStatisticsWindow, window))
                EndDialog(window, 0);
        }
        return TRUE;
    case WM_AGENT_REFRESH:
        ReloadOptions(window);
        return TRUE;
    case WM_STATS_STATUS_CHANGED:
        // One at a time: a change that finds one running is in the count
        // the worker reads anyway.
        StartStatisticsHelper(HelperStatus, SelectConnection, nullptr);
        return TRUE;
    case WM_STATS_RESTORE_FOCUS:
        SetFocus(reinterpret_cast<HWND>(wParam));
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI OpenStatisticsWindow(void*)
{
    WaitForSingleObject(WindowSlot, INFINITE);
    INT_PTR ended = -1;
    if (!InterlockedCompareExchange(&WindowsEnded, 0, 0))
        ended = DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_STATISTICS), nullptr, StatisticsDialogProc, 0);
    // The window is gone: the unload must not end it again while the
    // worker below still finishes a slow request.
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&StatisticsWindow), nullptr);
    if (ended == -1)
        InterlockedExchange(&WindowStarting, 0);
    HANDLE& closer = StatisticsWindowState.helpers[HelperClose];
    if (closer) {
        WaitForThreadAnswering(closer, INFINITE);
        CloseHandle(closer);
        closer = nullptr;
    }
    // Ended by the main window at unload: the close routine never ran.
    if (StatisticsWindowState.worker || StatisticsWindowState.stopEvent)
        StopWorkerAndEvents();
    JoinStatisticsHelpers();
    StatisticsWindowState.closing = false;
    // The font outlives the dialog's controls, which use it until they go.
    if (StatisticsWindowState.valueFont) {
        DeleteObject(StatisticsWindowState.valueFont);
        StatisticsWindowState.valueFont = nullptr;
    }
    ReleaseSemaphore(WindowSlot, 1, nullptr);
    return 0;
}

void EndStatisticsWindowAndWait(DWORD timeoutMs)
{
    InterlockedExchange(&WindowsEnded, 1);
    if (!WindowSlot)
        return;
    const DWORD start = GetTickCount(), retryMs = 100;
    for (;;) {
        // Asked again on every round: a question or a window may come up
        // between two of them.
        CloseClearQuestion(retryMs);
        HWND window = StatisticsWindow;
        if (window)
            EndDialog(window, 0);
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return;
        DWORD wait = timeoutMs - spent < retryMs ? timeoutMs - spent : retryMs;
        if (WaitForSingleObject(WindowSlot, wait) == WAIT_OBJECT_0)
            break;
    }
    ReleaseSemaphore(WindowSlot, 1, nullptr);
}
