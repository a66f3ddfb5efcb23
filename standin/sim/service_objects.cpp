#include "service_objects.h"

#include <windows.h>

#include "shared_mappings.h"

namespace {

HANDLE NetStatusChangedEvent = nullptr;
HANDLE NetConfChangedEvent = nullptr;

void CloseObject(HANDLE& handle)
{
    if (handle != nullptr)
        CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

bool StartServiceObjects()
{
    if (NetStatusChangedEvent == nullptr)
        NetStatusChangedEvent = CreateEventW(nullptr, FALSE, FALSE, L"ZorvanHEvSrvNetStatusChanged");
    if (NetConfChangedEvent == nullptr)
        NetConfChangedEvent = CreateEventW(nullptr, FALSE, FALSE, L"ZorvanHEvSrvNetConfChanged");
    return NetStatusChangedEvent != nullptr && NetConfChangedEvent != nullptr && CreateSharedMappings();
}

void StopServiceObjects()
{
    CloseSharedMappings();
    CloseObject(NetStatusChangedEvent);
    CloseObject(NetConfChangedEvent);
}

void SignalNetStatusChanged()
{
    if (NetStatusChangedEvent != nullptr)
        SetEvent(NetStatusChangedEvent);
}

void SignalNetConfChanged()
{
    if (NetConfChangedEvent != nullptr)
        SetEvent(NetConfChangedEvent);
}
