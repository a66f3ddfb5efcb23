#include <cwchar>
#include <vector>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "monitor/diagram_image.h"
#include "monitor/monitor_appearance.h"
#include "monitor/monitor_list.h"
#include "monitor/monitor_window.h"
#include "resources/resource_ids.h"

namespace {

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

// Waits for every thread while answering what other threads send to this
// one's windows: a monitor in the middle of "&Properties" is sending to the
// main window and ends only once that send is answered.
static void WaitForThreadsAnswering(HANDLE* threads, DWORD count)
{
    DWORD ended = 0;
    while (ended < count) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD left = count - ended;
        DWORD woke = MsgWaitForMultipleObjects(left, threads + ended, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woke < WAIT_OBJECT_0 + left) {
            HANDLE done = threads[ended + woke - WAIT_OBJECT_0];
            threads[ended + woke - WAIT_OBJECT_0] = threads[ended];
            threads[ended] = done;
            ++ended;
        } else if (woke != WAIT_OBJECT_0 + left) {
            return;
        }
    }
}

void CloseMonitors()
{
    HANDLE mutex = MonitorListMutex;
    if (!mutex)
        return;
    // Each window thread closes its own handle, so the waits below use
    // copies taken while the records still exist.
    std::vector<HWND> windows;
    HANDLE threads[MAXIMUM_WAIT_OBJECTS - 1];
    DWORD count = 0;
    WaitForSingleObject(mutex, INFINITE);
    for (MonitorRecord* record = MonitorList; record; record = record->next) {
        if (!record->window)
            continue;
        windows.push_back(record->window);
        if (count < MAXIMUM_WAIT_OBJECTS - 1 &&
            DuplicateHandle(GetCurrentProcess(), record->uiThread, GetCurrentProcess(), &threads[count], SYNCHRONIZE,
                            FALSE, 0))
            ++count;
    }
    ReleaseMutex(mutex);
    // A window that went meanwhile just does not answer.
    for (HWND window : windows)
        SendMessageW(window, AGENT_CLOSE_COMMAND, 0, 0);
    WaitForThreadsAnswering(threads, count);
    for (DWORD i = 0; i < count; ++i)
        CloseHandle(threads[i]);
}

void HideMonitorsForDisable()
{
    std::vector<HWND> windows;
    HANDLE mutex = MonitorListMutex;
    if (!mutex)
        return;
    WaitForSingleObject(mutex, INFINITE);
    // Every window is marked, so enabling again shows all of them, also one
    // the user had put away with "&Hide" before.
    for (MonitorRecord* record = MonitorList; record; record = record->next)
        if (record->window) {
            record->hiddenByAgent = true;
            windows.push_back(record->window);
        }
    ReleaseMutex(mutex);
    ShowEachWindow(windows, SW_HIDE);
}

void ShowMonitorsHiddenByAgent()
{
    std::vector<HWND> windows;
    HANDLE mutex = MonitorListMutex;
    if (!mutex)
        return;
    WaitForSingleObject(mutex, INFINITE);
    for (MonitorRecord* record = MonitorList; record; record = record->next)
        if (record->window && record->hiddenByAgent) {
            record->hiddenByAgent = false;
            windows.push_back(record->window);
        }
    ReleaseMutex(mutex);
    ShowEachWindow(windows, SW_SHOW);
}
