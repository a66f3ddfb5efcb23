// The agent's process as the system sees it.
#include "driver.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

int MutexExists(const DriverArgs* args)
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, args->words[0]);
    if (mutex)
        CloseHandle(mutex);
    return mutex ? Met : NotMet;
}

// Wine's GetProcessHandleCount answers 0; the system's handle table, which
// it does keep, still tells how many handles a process holds.
static DWORD HandlesInSystemTable(DWORD pid)
{
    // Room for far more handles than one prefix's programs hold.
    std::vector<char> room(1 << 22);
    auto table = (SYSTEM_HANDLE_INFORMATION*)room.data();
    DWORD count = 0;
    if (!NtQuerySystemInformation(SystemHandleInformation, table, ULONG(room.size()), nullptr))
        for (ULONG i = 0; i < table->Count; ++i)
            count += table->Handle[i].OwnerPid == pid;
    return count;
}

// gui-resources: GDI and USER object counts of another process, for leak
// checks across many open and close cycles. Wine answers 0 for both, so the
// kernel handle count and the private bytes come along as the measures that
// still work. modules: the path of every module it has loaded, one a line.
int ProcessInfo(const DriverArgs* args)
{
    DWORD pid = DWORD(args->number[0]), bytes = 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    HMODULE modules[512];
    wchar_t path[MAX_PATH];
    bool gui = args->name[0] == L'g',
         read = process &&
        (gui ? GetProcessMemoryInfo(process, &memory, sizeof memory)
             : EnumProcessModules(process, modules, sizeof modules, &bytes));
    if (read && gui)
        Print(L"gdi=%lu user=%lu handles=%lu private=%llu", GetGuiResources(process, GR_GDIOBJECTS),
              GetGuiResources(process, GR_USEROBJECTS), HandlesInSystemTable(pid), ULONGLONG(memory.PagefileUsage));
    for (DWORD i = 0; read && i < bytes / sizeof *modules && i < 512; ++i)
        if (GetModuleFileNameExW(process, modules[i], path, MAX_PATH))
            Print(L"%ls", path);
    if (process)
        CloseHandle(process);
    return read ? Met : NotMet;
}

// A process that a launcher started (an agent on another desktop) leaves
// its exit code only to a handle opened while it still ran.
static HANDLE Watched;

int WatchProcess(const DriverArgs* args)
{
    if (Watched)
        CloseHandle(Watched);
    Watched = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, DWORD(args->number[0]));
    return Watched ? Met : NotMet;
}

int ExitCode(const DriverArgs* args)
{
    DWORD code = 0;
    if (WaitForSingleObject(Watched, args->timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(Watched, &code))
        return NotMet;
    CloseHandle(Watched);
    Watched = nullptr;
    Print(L"%lu", code);
    return Met;
}

// launch <program path>: started in its own folder on the command's
// desktop, as a shell there starts it (a named desktop in the start-up
// information would hold only its first thread); its pid, or why not.
int Launch(const DriverArgs* args)
{
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    lstrcpynW(folder, args->words[0], MAX_PATH);
    wchar_t* slash = wcsrchr(folder, L'\\');
    if (!slash)
        return BadUsage;
    lstrcpynW(name, slash + 1, MAX_PATH);
    *slash = 0;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION started;
    if (!CreateProcessW(args->words[0], name, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &started)) {
        Print(L"error %lu", GetLastError());
        return NotMet;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    Print(L"%lu", started.dwProcessId);
    return Met;
}
