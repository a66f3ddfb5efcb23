#include "monitor/monitor_threads.h"

#include <cwchar>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "monitor/diagram_image.h"
#include "monitor/monitor_appearance.h"
#include "monitor/monitor_list.h"
#include "monitor/monitor_window.h"
#include "platform/thread_wait.h"
#include "resources/resource_ids.h"

namespace {

// Set under the list's mutex by CloseMonitors, read under it by OpenMonitor.
bool MonitorsClosed;

// Two callers may open the first monitor at once (the tray and the refresh
// thread): the loser of the exchange closes its own mutex.
HANDLE TakeListMutex()
{
    HANDLE mutex = MonitorListMutex;
    if (!mutex) {
        HANDLE made = CreateMutexW(nullptr, FALSE, nullptr);
        if (!made)
            return nullptr;
        mutex = InterlockedCompareExchangePointer(&MonitorListMutex, made, nullptr);
        if (mutex)
            CloseHandle(made);
        else
            mutex = made;
    }
    WaitForSingleObject(mutex, INFINITE);
    return mutex;
}

void Unlink(MonitorRecord* record)
{
    for (MonitorRecord** link = &MonitorList; *link; link = &(*link)->next)
        if (*link == record) {
            *link = record->next;
            return;
        }
}

// The sampling thread may still be suspended when its window never came up;
// resuming a running thread changes nothing.
void StopSampling(MonitorRecord* record)
{
    SetEvent(record->stopEvent);
    ResumeThread(record->dataThread);
    WaitForSingleObject(record->dataThread, INFINITE);
    CloseHandle(record->dataThread);
    record->dataThread = nullptr;
}

void FreeRecord(MonitorRecord* record)
{
    CloseHandle(record->stopEvent);
    HeapFree(GetProcessHeap(), 0, record);
}

DWORD WINAPI MonitorWindowThread(void* parameter)
{
    MonitorRecord* record = static_cast<MonitorRecord*>(parameter);
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_MONITOR), nullptr, MonitorDialogProc, LPARAM(record));
    // The close command has released these already; a dialog that never
    // came up, or went without it, leaves them to this thread.
    CloseMonitorDiagram(record);
    DeleteMonitorFont(record);
    HANDLE mutex = MonitorListMutex;
    WaitForSingleObject(mutex, INFINITE);
    Unlink(record);
    record->window = nullptr;
    // The window is gone, so a sample still on its way returns at once.
    StopSampling(record);
    CloseHandle(record->uiThread);
    FreeRecord(record);
    ReleaseMutex(mutex);
    return 0;
}

MonitorRecord* NewRecord(const Char16* interfaceName, const Char16* interfaceId)
{
    const size_t nameLength = wcslen(interfaceName) + 1, idLength = wcslen(interfaceId) + 1;
    const size_t bytes = sizeof(MonitorRecord) + (nameLength + idLength) * sizeof(Char16);
    auto* record = static_cast<MonitorRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!record)
        return nullptr;
    record->interfaceName = reinterpret_cast<Char16*>(record + 1);
    record->interfaceId = record->interfaceName + nameLength;
    wmemcpy(record->interfaceName, interfaceName, nameLength);
    wmemcpy(record->interfaceId, interfaceId, idLength);
    record->stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!record->stopEvent) {
        HeapFree(GetProcessHeap(), 0, record);
        return nullptr;
    }
    return record;
}

// Undoes a half-made monitor whose window thread could not start.
void DiscardRecord(MonitorRecord* record)
{
    Unlink(record);
    if (record->dataThread)
        StopSampling(record);
    DeleteMonitorFont(record);
    FreeRecord(record);
}

}  // namespace

void OpenMonitor(const Char16* interfaceName, const Char16* interfaceId)
{
    if (!interfaceName || !interfaceId)
        return;
    HANDLE mutex = TakeListMutex();
    if (!mutex)
        return;
    // A refresh or a tray click already under way when the unload closed
    // the monitors opens nothing more.
    if (MonitorsClosed) {
        ReleaseMutex(mutex);
        return;
    }
    MonitorRecord* record = FindMonitor(interfaceName, interfaceId);
    if (record) {
        HWND window = record->window;
        ReleaseMutex(mutex);
        if (window) {
            SetForegroundWindow(window);
            ShowWindow(window, SW_RESTORE);
        }
        return;
    }
    record = NewRecord(interfaceName, interfaceId);
    if (record) {
        ApplyMonitorSettings(record, nullptr, nullptr, false);
        record->next = MonitorList;
        MonitorList = record;
        record->dataThread = CreateThread(nullptr, 0, MonitorSamplingThread, record, CREATE_SUSPENDED, nullptr);
        if (record->dataThread)
            record->uiThread = CreateThread(nullptr, 0, MonitorWindowThread, record, 0, nullptr);
        if (!record->uiThread)
            DiscardRecord(record);
    }
    ReleaseMutex(mutex);
}

struct ClosingThreads {
    HANDLE threads[MAXIMUM_WAIT_OBJECTS - 1];
    DWORD count;
};

// Each window thread closes its own handle, so the waits use copies taken
// while the records still exist.
static bool TakeThreadCopy(MonitorRecord* record, void* context)
{
    auto* closing = static_cast<ClosingThreads*>(context);
    if (closing->count < MAXIMUM_WAIT_OBJECTS - 1 &&
        DuplicateHandle(GetCurrentProcess(), record->uiThread, GetCurrentProcess(), &closing->threads[closing->count],
                        SYNCHRONIZE, FALSE, 0))
        ++closing->count;
    return true;
}

void CloseMonitors(DWORD timeoutMs)
{
    HANDLE mutex = TakeListMutex();
    if (!mutex)
        return;
    MonitorsClosed = true;
    ReleaseMutex(mutex);
    ClosingThreads closing = {};
    HWND windows[MaxPickedMonitors];
    size_t count = PickMonitorWindows(TakeThreadCopy, &closing, windows, MaxPickedMonitors);
    // A window that went meanwhile just does not answer.
    for (size_t i = 0; i < count; ++i)
        SendMessageTimeoutW(windows[i], AGENT_CLOSE_COMMAND, 0, 0, SMTO_NORMAL, timeoutMs, nullptr);
    WaitForThreadsAnswering(closing.threads, closing.count, timeoutMs);
    for (DWORD i = 0; i < closing.count; ++i)
        CloseHandle(closing.threads[i]);
}

// Every window is marked, so enabling again shows all of them, also one the
// user had put away with "&Hide" before.
static bool MarkHiddenByAgent(MonitorRecord* record, void*)
{
    record->hiddenByAgent = true;
    return true;
}

static bool UnmarkHiddenByAgent(MonitorRecord* record, void*)
{
    bool marked = record->hiddenByAgent;
    record->hiddenByAgent = false;
    return marked;
}

void HideMonitorsForDisable()
{
    ShowPickedMonitors(MarkHiddenByAgent, nullptr, SW_HIDE);
}

void ShowMonitorsHiddenByAgent()
{
    ShowPickedMonitors(UnmarkHiddenByAgent, nullptr, SW_SHOW);
}
