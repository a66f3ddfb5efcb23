#include "core/service_library.h"

#include <windows.h>

#include "core/service_channel.h"

static FARPROC FindOrdinal(HMODULE module, WORD ordinal)
{
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

bool LoadServiceLibrary()
{
    HMODULE module = LoadLibraryW(L"ZorvanHServiceIO.dll");
    if (!module)
        return false;
    // The ordinals are looked up in this order; the first that is missing
    // fails the load.
    FARPROC initialize = FindOrdinal(module, 1);
    FARPROC uninitialize = initialize ? FindOrdinal(module, 2) : nullptr;
    FARPROC request = uninitialize ? FindOrdinal(module, 3) : nullptr;
    FARPROC release = request ? FindOrdinal(module, 4) : nullptr;
    if (!release) {
        FreeLibrary(module);
        return false;
    }
    ServiceLibrary.module = module;
    ServiceLibrary.ServiceInitialize = reinterpret_cast<ServiceInitializeFn>(reinterpret_cast<void*>(initialize));
    ServiceLibrary.ServiceUninitialize = reinterpret_cast<ServiceUninitializeFn>(reinterpret_cast<void*>(uninitialize));
    ServiceLibrary.ServiceRequest = reinterpret_cast<ServiceRequestFn>(reinterpret_cast<void*>(request));
    ServiceLibrary.ServiceReleaseReply = reinterpret_cast<ServiceReleaseReplyFn>(reinterpret_cast<void*>(release));
    return true;
}

void UnloadServiceLibrary(DWORD timeoutMs)
{
    if (!ServiceLibrary.module)
        return;
    SetServiceChannelClosed(true);
    DWORD start = GetTickCount();
    while (!ServiceChannelIdle()) {
        if (GetTickCount() - start >= timeoutMs)
            return;
        Sleep(10);
    }
    if (ServiceLibrary.ServiceUninitialize)
        ServiceLibrary.ServiceUninitialize();
    FreeLibrary(static_cast<HMODULE>(ServiceLibrary.module));
    ServiceLibrary = ServiceLibraryRecord();
}
