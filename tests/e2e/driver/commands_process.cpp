#include "commands.h"
#include "driver_output.h"

#include <psapi.h>

// GDI and USER object counts of another process, for leak checks across
// many open and close cycles. Wine answers 0 for both, so the kernel handle
// count and the private bytes come along as the measures that still work.
int GuiResourcesCommand(const DriverArgs* args)
{
    ULONGLONG pid = 0;
    if (!ParseNumber(args->words[0], &pid) || pid == 0 || pid > 0xFFFFFFFFull)
        return UsageError;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, DWORD(pid));
    if (process == NULL) {
        PrintError(L"cannot open process %lu", (unsigned long)pid);
        return ConditionNotMet;
    }
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles))
        handles = 0;
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
