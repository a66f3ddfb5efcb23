// Status values and request codes of the service's interface library.
#pragma once

#include <cstdint>

typedef uint32_t ServiceStatus;

enum : ServiceStatus {
    StatusSuccess = 0,
    StatusInitializedBefore = 0xC0FE0002,  // ServiceInitialize: also success
    StatusAccessDenied = 0xC0FE0005,
    StatusNotStarted = 0xC0FE000A,
    StatusWrongVersion = 0xC0FE000B,
    StatusBusy = 0xC0FE000D,
    StatusDoneWithNotes = 0xC0FE0015,     // success for requests 5 and 10
    StatusDoneNeedsRestart = 0xC0FE0018,  // success for request 5
    StatusDoneNothingToDo = 0xC0FE0019,   // success for request 5
    StatusComponentMissing = 0xC0FE0020,
    StatusCancelled = 0xC0FE002B,
};

enum RequestCode : uint32_t {
    RequestListInterfaces = 1,
    RequestInterfaceStatistics = 2,
    RequestClearStatistics = 3,
    RequestConnections = 4,
    RequestBindMiniport = 5,
    RequestMoveDataFiles = 8,
    RequestReadDataSettings = 9,
    RequestDeleteInterface = 10,
    RequestOperationProgress = 11,
    RequestBackup = 12,
    RequestRestore = 13,
    RequestWriteDataSettings = 14,
};

inline bool IsInitializeSuccess(ServiceStatus s)
{
    return s == StatusSuccess || s == StatusInitializedBefore;
}
