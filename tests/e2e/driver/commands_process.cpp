#include "commands.h"
#include "driver_output.h"

#include <psapi.h>

#include <cstddef>

namespace {

struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ULONG access;
};

struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);

// Wine's GetProcessHandleCount answers 0; the system's handle table, which
// it does keep, still tells how many handles a process holds.
DWORD HandlesInSystemTable(DWORD pid)
{
    const ULONG SystemHandleInformation = 16;
    const LONG InfoLengthMismatch = LONG(0xC0000004);
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    ULONG size = 1 << 16;
    for (int attempt = 0; attempt < 8; ++attempt, size *= 2) {
        void* block = HeapAlloc(GetProcessHeap(), 0, size);
        if (!block)
            return 0;
        ULONG needed = 0;
        LONG status = query(SystemHandleInformation, block, size, &needed);
        DWORD count = 0;
        if (status == 0) {
            const auto* table = static_cast<const SystemHandleTable*>(block);
            const ULONG room = (size - offsetof(SystemHandleTable, entries)) / sizeof(SystemHandleEntry);
            const ULONG entries = table->count < room ? table->count : room;
            for (ULONG i = 0; i < entries; ++i)
                if (table->entries[i].ownerPid == pid)
                    ++count;
        }
        HeapFree(GetProcessHeap(), 0, block);
        if (status != InfoLengthMismatch)
            return count;
    }
    return 0;
}

}  // namespace

// GDI and USER object counts of another process, for leak checks across
// many open and close cycles. Wine answers 0 for both, so the kernel handle
// count and the private bytes come along as the measures that still work.
int GuiResourcesCommand(const DriverArgs* args)
{
    ULONGLONG pid = 0;
    if (!ParseNumber(args->words[0], &pid) || pid == 0 || pid > 0xFFFFFFFFull)
        return UsageError;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, DWORD(pid));
    if (process == nullptr) {
        PrintError(L"cannot open process %lu", (unsigned long)pid);
        return ConditionNotMet;
    }
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles) || handles == 0)
        handles = HandlesInSystemTable(DWORD(pid));
    PROCESS_MEMORY_COUNTERS memory;
    ZeroMemory(&memory, sizeof memory);
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory))
        memory.PagefileUsage = 0;
    CloseHandle(process);
    PrintLine(L"gdi=%lu user=%lu handles=%lu private=%llu", (unsigned long)gdi, (unsigned long)user,
              (unsigned long)handles, (unsigned long long)memory.PagefileUsage);
    return ConditionMet;
}

namespace {
HANDLE Watched;
}

// A process that a launcher started (an agent on another desktop) leaves its
// exit code only to a handle opened while it still ran.
int WatchProcessCommand(const DriverArgs* args)
{
    ULONGLONG pid = 0;
    if (!ParseNumber(args->words[0], &pid) || pid == 0 || pid > 0xFFFFFFFFull)
        return UsageError;
    if (Watched)
        CloseHandle(Watched);
    Watched = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, DWORD(pid));
    return Watched ? ConditionMet : ConditionNotMet;
}

int ExitCodeCommand(const DriverArgs* args)
{
    if (!Watched)
        return UsageError;
    DWORD code = 0;
    if (WaitForSingleObject(Watched, args->timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(Watched, &code))
        return ConditionNotMet;
    CloseHandle(Watched);
    Watched = nullptr;
    PrintLine(L"%lu", (unsigned long)code);
    return ConditionMet;
}
