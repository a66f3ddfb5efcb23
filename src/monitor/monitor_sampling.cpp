#include <new>

#include "core/agent_messages.h"
#include "core/statistics_link.h"
#include "monitor/monitor_window.h"

DWORD WINAPI MonitorSamplingThread(void* parameter)
{
    MonitorRecord* record = static_cast<MonitorRecord*>(parameter);
    // The name is copied once, so that a second's work allocates nothing.
    // Without the copy the monitor gets no samples and its diagram stands
    // still, as for an interface the view does not carry.
    Text16 name;
    try {
        name = record->interfaceName;
    } catch (const std::bad_alloc&) {
        WaitForSingleObject(record->stopEvent, INFINITE);
        return 0;
    }
    DWORD timeout = 0;
    while (WaitForSingleObject(record->stopEvent, timeout) == WAIT_TIMEOUT) {
        timeout = 1000;
        RateSample sample = {0, 0, 0, 0};
        InterfaceCountersView counters;
        record->connectionCount = 0;
        if (ReadInterfaceCounters(name, &counters)) {
            record->connectionTime = counters.connectionTime;
            TakeCounters(&record->diagram, counters, record->noHardwareHeaders, &sample.receiveRate, &sample.sendRate);
            record->connectionCount = counters.connected;
        }
        record->publishedSample = &sample;
        SendMessageW(record->window, WM_MONITOR_SAMPLE, 0, LPARAM(&sample));
        record->publishedSample = nullptr;
    }
    return 0;
}
