// Runs the registry groups in order, each on a clean agent key:
//   RegistryStoreTest                   all groups, exit code = failed checks
//   RegistryStoreTest --leave-monitors  leave two monitors for `reg query`
//   RegistryStoreTest --custom-colors   exit code tells what one load found
#include <cstdio>
#include <cwchar>

#include "registry_probe.h"

void KeyHelperTests();
void AgentOptionTests();
void MonitorKeyTests();
void MonitorValueTests();
void CustomColorTests();
void MonitorRightsTests();
void SnapshotTests();
int CustomColorsKind();
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
    if (argc == 2 && wcscmp(argv[1], L"--custom-colors") == 0)
        return CustomColorsKind();
    if (argc == 2 && wcscmp(argv[1], L"--leave-monitors") == 0)
        return LeaveMonitors();
    if (argc != 1) {
        fprintf(stderr, "usage: RegistryStoreTest [--leave-monitors | --custom-colors]\n");
        return 2;
    }
    // user32 opens its window station and desktop on first use; that must
    // not count as a leak of the first call that checks the screen.
    GetSystemMetrics(SM_CXSCREEN);
    if (!HandleCount())
        printf("note: no handle count here, handle leaks not checked\n");
    RunGroup("key-helpers", KeyHelperTests);
    RunGroup("agent-options", AgentOptionTests);
    RunGroup("monitor-keys", MonitorKeyTests);
    RunGroup("monitor-values", MonitorValueTests);
    RunGroup("custom-colors", CustomColorTests);
    RunGroup("monitor-rights", MonitorRightsTests);
    RunGroup("settings-snapshot", SnapshotTests);
    CleanAgentKey();
    printf("registry tests: %d checks, %d failed\n", CheckCount, FailCount);
    return FailCount;
}
