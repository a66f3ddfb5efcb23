// ZorvanHSim: plays the service from a scenario file until told to quit.
#include <windows.h>

#include <cstdio>
#include <string>

#include "clock.h"
#include "pipe_server.h"
#include "scenario_parser.h"
#include "service_objects.h"
#include "sim_state.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: ZorvanHSim.exe <scenario-file>\n");
        return 2;
    }
    InitializeCriticalSection(&SimLock);
    std::string error;
    if (!LoadScenario(argv[1], error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    HANDLE quitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (quitEvent == nullptr || !StartPipeServer(quitEvent)) {
        fprintf(stderr, "ZorvanHSim: cannot open the control pipe (is another simulator running?)\n");
        return 1;
    }
    EnterCriticalSection(&SimLock);
    Sim.live = true;
    bool objectsMade = !Sim.serviceRunning || StartServiceObjects();
    LeaveCriticalSection(&SimLock);
    if (!objectsMade || !StartClock()) {
        fprintf(stderr, "ZorvanHSim: cannot create the service's objects\n");
        return 1;
    }
    printf("ZorvanHSim: ready\n");
    fflush(stdout);

    WaitForSingleObject(quitEvent, INFINITE);
    StopClock();
    EnterCriticalSection(&SimLock);
    StopServiceObjects();
    LeaveCriticalSection(&SimLock);
    CloseHandle(quitEvent);
    printf("ZorvanHSim: quit\n");
    return 0;
}
