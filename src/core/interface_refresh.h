// The thread that keeps the monitor windows in step with the network.
#pragma once

#include <windows.h>

extern HANDLE RefreshStopEvent;
extern HANDLE RefreshThread;
extern HANDLE ViewPublishedEvent;
extern HANDLE StatusChangedEvent;
extern HANDLE MonitorOptionsAppliedEvent;
extern volatile bool FirstRefresh;

bool StartInterfaceRefresh();
void StopInterfaceRefresh();
