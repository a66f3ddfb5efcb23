#include "monitor/monitor_list.h"

#include "core/text16.h"

MonitorRecord* MonitorList = nullptr;
HANDLE MonitorListMutex = nullptr;

MonitorRecord* FindMonitor(const Char16* interfaceName, const Char16* interfaceId)
{
    for (MonitorRecord* record = MonitorList; record; record = record->next)
        if (SameInterfaceName(record->interfaceName, interfaceName) &&
            SameInterfaceName(record->interfaceId, interfaceId))
            return record;
    return nullptr;
}

size_t PickMonitorWindows(MonitorPick pick, void* context, HWND* windows, size_t capacity)
{
    HANDLE mutex = MonitorListMutex;
    if (!mutex)
        return 0;
    size_t count = 0;
    WaitForSingleObject(mutex, INFINITE);
    for (MonitorRecord* record = MonitorList; record && count < capacity; record = record->next)
        if (record->window && pick(record, context))
            windows[count++] = record->window;
    ReleaseMutex(mutex);
    return count;
}

// A window closed meanwhile is no longer a window, and the call fails.
void ShowPickedMonitors(MonitorPick pick, void* context, int command)
{
    HWND windows[MaxPickedMonitors];
    size_t count = PickMonitorWindows(pick, context, windows, MaxPickedMonitors);
    for (size_t i = 0; i < count; ++i)
        ShowWindow(windows[i], command);
}
