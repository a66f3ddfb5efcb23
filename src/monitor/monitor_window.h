// One monitor window: a dialog run modally on the monitor's own thread, and
// the sampling thread that feeds it one rate sample per second.
#pragma once

#include <windows.h>

#include <cstdint>

#include "monitor/monitor_record.h"

struct RateSample {
    uint32_t receiveRate, receiveHigh;  // each rate with its zero word is a history entry
    uint32_t sendRate, sendHigh;
};

// lParam of DialogBoxParamW is the record; the dialog ends on the close
// command.
INT_PTR CALLBACK MonitorDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Thread procedure: the parameter is the record. Created suspended; the
// window resumes it once it can take samples.
DWORD WINAPI MonitorSamplingThread(void* record);

// The context menu's commands (menu 153) at the point where the right
// button went down.
void ShowMonitorMenu(MonitorRecord* record);

// Names the monitor that the Monitor(s) page selects when it next re-lists.
extern wchar_t PreselectName[520];
