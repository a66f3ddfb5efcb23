// The link to the service's shared statistics mapping: its thread, the lock
// that guards the published view, and the view pointer readers look at.
#pragma once

#include <windows.h>

extern HANDLE MappingStopEvent;
extern HANDLE MappingThread;
extern HANDLE StatisticsViewLock;
extern const void* volatile PublishedStatisticsView;

bool StartStatisticsLink();
void StopStatisticsLink();
