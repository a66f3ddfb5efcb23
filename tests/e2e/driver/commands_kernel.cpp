#include "commands.h"
#include "driver_output.h"

int MutexExistsCommand(const DriverArgs* args)
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, args->words[0]);
    if (mutex == nullptr) {
        PrintLine(L"absent");
        return ConditionNotMet;
    }
    CloseHandle(mutex);
    PrintLine(L"present");
    return ConditionMet;
}
