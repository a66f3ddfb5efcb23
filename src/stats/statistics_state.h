// The statistics window's one record. The window exists at most once, so
// its state is process-wide; the state mutex guards the selection, the
// lists and the flags.
#pragma once

#include <windows.h>

#include <vector>

#include "core/text16.h"
#include "stats/statistics_wire.h"

// The window's short-lived helper threads, at most one of each kind.
enum StatisticsHelper { HelperSelection, HelperClear, HelperStatus, HelperClose, HelperKinds };

struct StatisticsWindowStateRecord {
    volatile LONG statusChangeCount;  // changed by the status watcher and the worker, unlocked
    HFONT valueFont;
    HANDLE stopEvent, updateEvent, stateMutex, worker;
    HANDLE helpers[HelperKinds];  // started and joined by the window's side only

    bool needInterfaceList, needConnectionList, settingsReloaded, closing, topmost;
    bool clearOverallPending, clearCurrentPending, clearAllCurrent;

    // In-use copies of the options, taken by the worker.
    bool hideMs, noHardwareHeaders, averageInBytes, speedInBytes;

    HWND savedFocus;
    bool focusSaved;
    int left, top;  // kept for the process's life, not stored

    bool hasInterfaceName, interfaceValid;
    Text16 interfaceName;
    bool hasConnectionName, connectionValid;
    Text16 connectionName;
    std::vector<ConnectionEntry> entries;  // combo order
    int currentEntry;                      // index into entries, -1 none
    InterfaceStatistics savedReply;
    bool savedReplyValid;
};

extern StatisticsWindowStateRecord StatisticsWindowState;

// Worker side (statistics_update.cpp), called with the state mutex held.
void RefreshInterfaceList(HWND window);
bool RefreshConnectionList(HWND window);
void UpdateStatisticsFields(HWND window, bool listsRefreshed);

// Field resets, also run by the selection and clear threads.
void SaveFocus(HWND window);
void ResetAllFields(HWND window);
void ResetCurrentFields(HWND window, bool showWaitText);

// Clearing (clear_dialogs.cpp), on the dialog thread.
void AskClearOverall(HWND window);
void AskClearCurrent(HWND window);
// From any thread: answers an open clear question with "no", so the
// window's own loop can end.
void CloseClearQuestion(DWORD timeoutMs);

// Short-lived thread routines of the window (statistics_selection.cpp).
DWORD WINAPI StartClear(void* result);
DWORD WINAPI SelectInterface(void* name);
// Without a name (a network status change) the chosen connection is kept,
// so the re-listed connections select it again while it exists.
DWORD WINAPI SelectConnection(void* name);
// On the window's thread: starts `routine` as the helper of `kind`; false
// (and nothing started) while the previous one of that kind still runs or
// the window is closing, so no flood of messages can pile up threads.
bool StartStatisticsHelper(StatisticsHelper kind, LPTHREAD_START_ROUTINE routine, void* parameter);
// Waits for every helper but the close thread and forgets them.
void JoinStatisticsHelpers();
// The chosen line of `combo` handed to a thread of `routine`, which frees
// it; both combos are off until the worker's update.
void StartSelection(HWND window, int combo, int other, LPTHREAD_START_ROUTINE routine);
