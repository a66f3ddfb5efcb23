// The agent's entry point: the checks and links of start-up, the main
// dialog for the whole run, and the shutdown in its fixed order.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "core/admin_token.h"
#include "core/agent_state.h"
#include "core/interface_refresh.h"
#include "core/service_channel.h"
#include "core/service_library.h"
#include "core/service_watchers.h"
#include "core/startup_checks.h"
#include "core/statistics_link.h"
#include "core/unload_deadline.h"
#include "monitor/monitor_threads.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"
#include "tray/about_box.h"
#include "tray/main_dialog.h"

HINSTANCE AppInstance;
HANDLE StillRunningMutex;
bool IsAdmin;

static const wchar_t StillRunningMutexName[] = L"ZorvanHAgentMtStillRunning";

static bool RunsOnSupportedWindows()
{
    OSVERSIONINFOW version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    // Deprecated, but it answers the platform id that newer calls hide.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version))
        return false;
#pragma GCC diagnostic pop
    return IsSupportedWindows(version.dwPlatformId, version.dwMajorVersion);
}

static bool AnotherAgentRuns()
{
    HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, StillRunningMutexName);
    if (!other)
        return false;
    CloseHandle(other);
    return true;
}

// The three links in their start order; a failure ends start-up.
static bool StartServiceLinks()
{
    return StartServiceWatchers() && StartStatisticsLink() && StartInterfaceRefresh();
}

// Besides the fixed order, steps bounded by the unload's budget: the exit
// window ends the main dialog without closing anything, so the monitors
// close here, after the refresh that could open one and before the link
// whose view they read; the statistics window, the About box and every
// request still out must be done before the library goes, but an open
// question or a slow request may not keep the process.
static void Shutdown()
{
    CoUninitialize();
    BeginUnload();
    StopInterfaceRefresh();
    CloseMonitors(UnloadTimeLeft());
    StopStatisticsLink();
    StopServiceWatchers();
    EndStatisticsWindowAndWait(UnloadTimeLeft());
    EndAboutBoxAndWait(UnloadTimeLeft());
    UnloadServiceLibrary(UnloadTimeLeft());
    CloseHandle(StillRunningMutex);
    StillRunningMutex = nullptr;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    AppInstance = instance;
    if (!RunsOnSupportedWindows()) {
        ShowStringMessage(nullptr, IDS_BAD_WINDOWS, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (AnotherAgentRuns()) {
        ShowStringMessage(nullptr, IDS_ALREADY_RUNNING, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    StillRunningMutex = CreateMutexW(nullptr, TRUE, StillRunningMutexName);
    if (!StillRunningMutex) {
        ShowStringMessage(nullptr, IDS_CANT_CREATE_MUTEX, MB_OK | MB_ICONERROR);
        return 0;
    }
    InitCommonControls();
    IsAdmin = QueryAdminToken();
    if (!LoadServiceLibrary()) {
        ShowStringMessage(nullptr, IDS_CANT_LOAD_LIBRARY, MB_OK | MB_ICONERROR);
        return 0;
    }
    if (!IsInitializeSuccess(ServiceLibrary.ServiceInitialize())) {
        ShowStringMessage(nullptr, IDS_CANT_INIT_LIBRARY, MB_OK | MB_ICONERROR);
        return 0;
    }
    LoadStartupOptions();
    if (!StartServiceLinks()) {
        ShowStringMessage(nullptr, IDS_CANT_INIT_SYNC, MB_OK | MB_ICONERROR);
        return 0;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    Shutdown();
    return 0;
}
