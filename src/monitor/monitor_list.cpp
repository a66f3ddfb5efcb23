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
