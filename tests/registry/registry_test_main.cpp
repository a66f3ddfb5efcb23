// Runs the registry groups in order, each on a clean agent key:
//   RegistryStoreTest                   all groups, exit code = failed checks
//   RegistryStoreTest --leave-monitors  leave two monitors for `reg query`
#include <cstdio>
#include <cwchar>

#include "registry_probe.h"

void KeyHelperTests();
void AgentOptionTests();
void MonitorKeyTests();
void MonitorValueTests();
void CustomColorTests();
void SnapshotTests();
int LeaveMonitors();

static void RunGroup(const char* name, void (*group)())
{
    int before = FailCount;
    if (CHECK(CleanAgentKey()))
        group();
    if (FailCount == before)
        printf("ok %s\n", name);
    else
        printf("failed %s: %d\n", name, FailCount - before);
    fflush(stdout);
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"--leave-monitors") == 0)
        return LeaveMonitors();
    RunGroup("key-helpers", KeyHelperTests);
    RunGroup("agent-options", AgentOptionTests);
    RunGroup("monitor-keys", MonitorKeyTests);
    RunGroup("monitor-values", MonitorValueTests);
    RunGroup("custom-colors", CustomColorTests);
    RunGroup("settings-snapshot", SnapshotTests);
    CleanAgentKey();
    printf("registry tests: %d checks, %d failed\n", CheckCount, FailCount);
    return FailCount;
}
