#include "core/service_watchers.h"

#include "core/interface_refresh.h"
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

// What every configuration change brings: the windows that show network
// state re-read it, and the refresh re-lists the interfaces.
static void HandleConfigurationChange(bool settingsReloaded)
{
    (void)settingsReloaded;  // re-applying monitor looks comes with the monitors
    // A page busy with its own command ignores the re-list; the command's
    // own fresh list follows it.
    if (CurrentPage && InterfacesPage)
        SendMessageW(InterfacesPage, WM_COMMAND, IDC_REFRESH_INTERFACES, 0);
    HWND statistics = StatisticsWindow;
    if (statistics)
        SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
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
