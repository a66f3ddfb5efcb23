#include "driver.h"

bool OpenRemote(HWND window, SIZE_T size, Remote* remote)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    remote->block = nullptr;
    remote->process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (remote->process)
        remote->block = (char*)VirtualAllocEx(remote->process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!remote->block && remote->process)
        CloseHandle(remote->process);
    return remote->block;
}

void CloseRemote(Remote* remote)
{
    VirtualFreeEx(remote->process, remote->block, 0, MEM_RELEASE);
    CloseHandle(remote->process);
}

bool SendRemote(Remote* remote, HWND to, UINT message, WPARAM wParam, void* local, SIZE_T size, DWORD_PTR* result)
{
    return WriteProcessMemory(remote->process, remote->block, local, size, nullptr) &&
        SendMessageTimeoutW(to, message, wParam, LPARAM(remote->block), SMTO_ABORTIFHUNG, 2000, result) &&
        ReadProcessMemory(remote->process, remote->block, local, size, nullptr);
}
