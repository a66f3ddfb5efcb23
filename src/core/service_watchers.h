// Threads that wait on the service's network status and configuration
// events and pass the news on.
#pragma once

#include <windows.h>

extern HANDLE WatcherStopEvent;
extern HANDLE SettingsReloadEvent;
extern HANDLE ConfigWatcherThread;
extern HANDLE StatusWatcherThread;

bool StartServiceWatchers();
void StopServiceWatchers();
