// Opening and closing monitors: each open monitor has a window thread and
// a sampling thread, and a record in the monitor list.
#pragma once

#include <windows.h>

#include "core/text16.h"

// Opens the monitor of an interface on threads of its own, or brings its
// window to the front and restores it when it is already open.
void OpenMonitor(const Char16* interfaceName, const Char16* interfaceId);

// Closes every open monitor and waits, at most `timeoutMs`, until their
// threads have ended. From then on OpenMonitor opens nothing: the agent is
// unloading.
void CloseMonitors(DWORD timeoutMs);

// The agent's disabled state: every window hidden and marked, and later
// the marked ones shown again.
void HideMonitorsForDisable();
void ShowMonitorsHiddenByAgent();
