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

// A window closed meanwhile is no longer a window, and the call fails.
void ShowEachWindow(const std::vector<HWND>& windows, int command)
{
    for (HWND window : windows)
        ShowWindow(window, command);
}
