// The link to the service's shared statistics mapping: its thread, the lock
// that guards the published view, and the view pointer readers look at.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/statistics_view.h"

extern HANDLE MappingStopEvent;
extern HANDLE MappingThread;
extern HANDLE StatisticsViewLock;
// Both change together, only under StatisticsViewLock; null and 0 while no
// view is published.
extern const uint8_t* PublishedStatisticsView;
extern size_t PublishedStatisticsViewSize;

bool StartStatisticsLink();
void StopStatisticsLink();

// One read under the lock: false when no view is published or the interface
// is not in it.
bool ReadInterfaceCounters(const Text16& name, InterfaceCountersView* out);
