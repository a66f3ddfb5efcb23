#include "core/service_watchers.h"

#include "core/agent_messages.h"
#include "core/interface_refresh.h"
#include "monitor/monitor_appearance.h"
#include "monitor/monitor_list.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"
#include "tray/preferences_frame.h"

HANDLE WatcherStopEvent;
HANDLE SettingsReloadEvent;
HANDLE ConfigWatcherThread;
HANDLE StatusWatcherThread;

static const DWORD RetryMs = 2000;

// Waits for the service to create its event; null when stopped first.
static HANDLE OpenServiceEvent(HANDLE stopEvent, const wchar_t* name)
{
    for (;;) {
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name);
        if (event)
            return event;
        if (WaitForSingleObject(stopEvent, RetryMs) == WAIT_OBJECT_0)
            return nullptr;
    }
}

static void PulseIfExists(HANDLE event)
{
    if (event)
        PulseEvent(event);
}

static DWORD WINAPI StatusWatcher(void* stopEvent)
{
    HANDLE stop = static_cast<HANDLE>(stopEvent);
    HANDLE status = OpenServiceEvent(stop, L"ZorvanHEvSrvNetStatusChanged");
    if (!status)
        return 0;
    for (;;) {
        HANDLE waits[2] = {stop, status};
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 1) {
            PostStatisticsStatusChange();
            PulseIfExists(StatusChangedEvent);
            continue;
        }
        if (WaitForSingleObject(stop, RetryMs) == WAIT_OBJECT_0)
            break;
    }
    CloseHandle(status);
    return 0;
}

// The page on show re-reads everything, the others only what they keep
// while hidden. It stays the page on show while the preferences window is
// hidden, so the user finds it current when the window comes back.
static void RefreshPageOnShow()
{
    HWND page = CurrentPage;
    if (!page)
        return;
    if (page == GeneralPage)
        SendMessageW(page, WM_AGENT_RELOAD_PAGE, 0, 0);
    else if (page == MonitorsPage || page == InterfacesPage)
        SendMessageW(page, WM_COMMAND, IDC_REFRESH_INTERFACES, 0);
    else if (page == MovementsPage)
        SendMessageW(page, WM_AGENT_REFRESH, 0, 0);
}

static void ReapplyMonitorLooks()
{
    HANDLE mutex = MonitorListMutex;
    if (!mutex || WaitForSingleObject(mutex, INFINITE) == WAIT_FAILED)
        return;
    for (MonitorRecord* record = MonitorList; record; record = record->next)
        ApplyMonitorSettings(record, nullptr, nullptr, false);
    ReleaseMutex(mutex);
}

// What every configuration change brings: the windows that show network
// state re-read it, and the refresh re-lists the interfaces. Restored
// settings also change the looks of the open monitors.
static void HandleConfigurationChange(bool settingsReloaded)
{
    HWND general = GeneralPage;
    if (general)
        SendMessageW(general, WM_AGENT_REFRESH, 0, 0);
    RefreshPageOnShow();
    HWND statistics = StatisticsWindow;
    if (statistics)
        SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
    if (settingsReloaded)
        ReapplyMonitorLooks();
    PulseIfExists(ViewPublishedEvent);
}

static DWORD WINAPI ConfigWatcher(void* stopEvent)
{
    HANDLE stop = static_cast<HANDLE>(stopEvent);
    SettingsReloadEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE config = OpenServiceEvent(stop, L"ZorvanHEvSrvNetConfChanged");
    if (config) {
        HandleConfigurationChange(false);
        for (;;) {
            // Without a reload event the watcher still serves the service's.
            HANDLE waits[3] = {stop, config, SettingsReloadEvent};
            DWORD count = SettingsReloadEvent ? 3 : 2;
            DWORD woke = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
            if (woke == WAIT_OBJECT_0)
                break;
            if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_OBJECT_0 + 2) {
                HandleConfigurationChange(woke == WAIT_OBJECT_0 + 2);
                continue;
            }
            if (WaitForSingleObject(stop, RetryMs) == WAIT_OBJECT_0)
                break;
        }
        CloseHandle(config);
    }
    HANDLE reload = SettingsReloadEvent;
    SettingsReloadEvent = nullptr;
    if (reload)
        CloseHandle(reload);
    return 0;
}

bool StartServiceWatchers()
{
    StopServiceWatchers();
    WatcherStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (WatcherStopEvent)
        ConfigWatcherThread = CreateThread(nullptr, 0, ConfigWatcher, WatcherStopEvent, 0, nullptr);
    if (ConfigWatcherThread)
        StatusWatcherThread = CreateThread(nullptr, 0, StatusWatcher, WatcherStopEvent, 0, nullptr);
    if (!StatusWatcherThread) {
        StopServiceWatchers();
        return false;
    }
    return true;
}

static void EndThread(HANDLE* thread)
{
    if (*thread) {
        WaitForSingleObject(*thread, INFINITE);
        CloseHandle(*thread);
        *thread = nullptr;
    }
}

void StopServiceWatchers()
{
    if (WatcherStopEvent) {
        SetEvent(WatcherStopEvent);
        EndThread(&ConfigWatcherThread);
        EndThread(&StatusWatcherThread);
        CloseHandle(WatcherStopEvent);
    }
    WatcherStopEvent = ConfigWatcherThread = StatusWatcherThread = nullptr;
}
