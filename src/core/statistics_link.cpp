#include "core/statistics_link.h"

HANDLE MappingStopEvent;
HANDLE MappingThread;
HANDLE StatisticsViewLock;
const void* volatile PublishedStatisticsView;

static DWORD WINAPI MappingLinkThread(void* stopEvent)
{
    // Following the mapping through the service's rebuilds comes with the
    // mapping reader; until then the link only keeps its place in the
    // start-up and shutdown order.
    while (WaitForSingleObject(static_cast<HANDLE>(stopEvent), 500) == WAIT_TIMEOUT) {
    }
    return 0;
}

bool StartStatisticsLink()
{
    MappingStopEvent = MappingThread = StatisticsViewLock = nullptr;
    PublishedStatisticsView = nullptr;
    MappingStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (MappingStopEvent)
        StatisticsViewLock = CreateMutexW(nullptr, FALSE, nullptr);
    if (StatisticsViewLock)
        MappingThread = CreateThread(nullptr, 0, MappingLinkThread, MappingStopEvent, 0, nullptr);
    if (!MappingThread) {
        StopStatisticsLink();
        return false;
    }
    return true;
}

void StopStatisticsLink()
{
    if (MappingStopEvent) {
        SetEvent(MappingStopEvent);
        if (MappingThread) {
            WaitForSingleObject(MappingThread, INFINITE);
            CloseHandle(MappingThread);
        }
        CloseHandle(MappingStopEvent);
    }
    if (StatisticsViewLock)
        CloseHandle(StatisticsViewLock);
    MappingStopEvent = MappingThread = StatisticsViewLock = nullptr;
    PublishedStatisticsView = nullptr;
}
