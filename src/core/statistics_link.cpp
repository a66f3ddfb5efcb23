#include "core/statistics_link.h"

#include "core/interface_refresh.h"

HANDLE MappingStopEvent;
HANDLE MappingThread;
HANDLE StatisticsViewLock;
const uint8_t* PublishedStatisticsView;
size_t PublishedStatisticsViewSize;

static const wchar_t ServerMutexName[] = L"ZorvanHServiceFileMappingServerMutexName";
static const wchar_t DirectoryMappingName[] = L"ZorvanHServiceFileMappingServerName";
static const DWORD PassWaitMs = 500;
static const DWORD PauseMs = 500;

namespace {
// What the link thread holds between passes; owned by that thread alone.
struct LinkState {
    HANDLE serverMutex;
    HANDLE directoryMapping;
    const uint8_t* directory;
    bool directoryIdentityKnown;
    MappingIdentity directoryIdentity;
    bool entryKnown;
    StatisticsMappingEntry entry;
    HANDLE statisticsMapping;
    const uint8_t* view;
    bool viewIdentityKnown;
    MappingIdentity viewIdentity;
};

enum PassEnd { PassDone, PassPause };
}  // namespace

static void SetPublishedView(const uint8_t* view, size_t size)
{
    WaitForSingleObject(StatisticsViewLock, INFINITE);
    PublishedStatisticsView = view;
    PublishedStatisticsViewSize = size;
    ReleaseMutex(StatisticsViewLock);
}

// Readers may be inside the view right now; once the pointer is withdrawn
// under the lock, none can be, and it may be unmapped.
static void WithdrawView()
{
    SetPublishedView(nullptr, 0);
}

static void CloseStatisticsView(LinkState* link)
{
    WithdrawView();
    if (link->view)
        UnmapViewOfFile(link->view);
    if (link->statisticsMapping)
        CloseHandle(link->statisticsMapping);
    link->view = nullptr;
    link->statisticsMapping = nullptr;
    link->viewIdentityKnown = false;
}

static void CloseDirectory(LinkState* link)
{
    if (link->directory)
        UnmapViewOfFile(link->directory);
    if (link->directoryMapping)
        CloseHandle(link->directoryMapping);
    link->directory = nullptr;
    link->directoryMapping = nullptr;
    link->directoryIdentityKnown = false;
}

// Steps after the mutex is held; the caller releases it whatever the end.
static PassEnd PassUnderServerMutex(LinkState* link)
{
    if (!link->directoryMapping) {
        link->directoryMapping = OpenFileMappingW(FILE_MAP_READ, FALSE, DirectoryMappingName);
        if (!link->directoryMapping)
            return PassPause;
    }
    if (!link->directory) {
        link->directory = static_cast<const uint8_t*>(
            MapViewOfFile(link->directoryMapping, FILE_MAP_READ, 0, 0, MappingDirectorySize));
        if (!link->directory) {
            CloseHandle(link->directoryMapping);
            link->directoryMapping = nullptr;
            return PassPause;
        }
    }

    MappingDirectoryHeader directory;
    ReadMappingDirectoryHeader(link->directory, MappingDirectorySize, &directory);
    if (!link->directoryIdentityKnown) {
        link->directoryIdentity = directory.identity;
        link->directoryIdentityKnown = true;
    }
    if (directory.invalid || !SameIdentity(directory.identity, link->directoryIdentity)) {
        link->entryKnown = false;
        CloseStatisticsView(link);
        CloseDirectory(link);
        return PassDone;
    }

    if (!link->entryKnown) {
        link->entryKnown = FindStatisticsMappingEntry(link->directory, MappingDirectorySize, &link->entry);
        if (!link->entryKnown)
            return PassPause;
    }
    if (!link->statisticsMapping) {
        link->statisticsMapping = OpenFileMappingW(FILE_MAP_READ, FALSE, link->entry.mappingName.c_str());
        if (!link->statisticsMapping) {
            link->viewIdentityKnown = false;
            return PassPause;
        }
    }
    if (!link->view) {
        link->view = static_cast<const uint8_t*>(
            MapViewOfFile(link->statisticsMapping, FILE_MAP_READ, 0, 0, link->entry.viewSize));
        if (!link->view) {
            CloseHandle(link->statisticsMapping);
            link->statisticsMapping = nullptr;
            link->viewIdentityKnown = false;
            return PassPause;
        }
    }

    StatisticsViewHeader view;
    ReadStatisticsViewHeader(link->view, link->entry.viewSize, &view);
    if (!link->viewIdentityKnown) {
        link->viewIdentity = view.identity;
        link->viewIdentityKnown = true;
    }
    if (view.invalid || !SameIdentity(view.identity, link->viewIdentity)) {
        link->entryKnown = false;
        CloseStatisticsView(link);
        return PassDone;
    }

    if (!PublishedStatisticsView) {
        SetPublishedView(link->view, link->entry.viewSize);
        HANDLE published = ViewPublishedEvent;
        if (published)
            PulseEvent(published);
    }
    return PassDone;
}

static PassEnd LinkPass(LinkState* link)
{
    if (!link->serverMutex) {
        link->serverMutex = OpenMutexW(SYNCHRONIZE | MUTANT_QUERY_STATE, FALSE, ServerMutexName);
        if (!link->serverMutex)
            return PassPause;
    }
    // An abandoned wait hands the mutex over as well: waiting once more
    // would only nest the ownership, and the one release below would leave
    // the service locked out.
    DWORD waited = WaitForSingleObject(link->serverMutex, PassWaitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return PassDone;
    PassEnd end = PassUnderServerMutex(link);
    ReleaseMutex(link->serverMutex);
    return end;
}

static DWORD WINAPI MappingLinkThread(void* stopEvent)
{
    HANDLE stop = static_cast<HANDLE>(stopEvent);
    LinkState link = {};
    while (WaitForSingleObject(stop, PassWaitMs) == WAIT_TIMEOUT) {
        if (LinkPass(&link) == PassPause)
            Sleep(PauseMs);
    }
    link.entryKnown = false;
    CloseStatisticsView(&link);
    CloseDirectory(&link);
    if (link.serverMutex)
        CloseHandle(link.serverMutex);
    return 0;
}

bool ReadInterfaceCounters(const Text16& name, InterfaceCountersView* out)
{
    HANDLE lock = StatisticsViewLock;
    if (!lock)
        return false;
    DWORD waited = WaitForSingleObject(lock, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return false;
    bool found = PublishedStatisticsView &&
        FindInterfaceCounters(PublishedStatisticsView, PublishedStatisticsViewSize, name, out);
    ReleaseMutex(lock);
    return found;
}

bool StartStatisticsLink()
{
    MappingStopEvent = MappingThread = StatisticsViewLock = nullptr;
    PublishedStatisticsView = nullptr;
    PublishedStatisticsViewSize = 0;
    MappingStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (MappingStopEvent)
        StatisticsViewLock = CreateMutexW(nullptr, FALSE, nullptr);
    if (StatisticsViewLock)
        MappingThread = CreateThread(nullptr, 0, MappingLinkThread, MappingStopEvent, 0, nullptr);
    if (!MappingThread) {
        StopStatisticsLink();
        return false;
    }
    return true;
}

void StopStatisticsLink()
{
    if (MappingStopEvent) {
        SetEvent(MappingStopEvent);
        if (MappingThread) {
            WaitForSingleObject(MappingThread, INFINITE);
            CloseHandle(MappingThread);
        }
        CloseHandle(MappingStopEvent);
    }
    if (StatisticsViewLock)
        CloseHandle(StatisticsViewLock);
    MappingStopEvent = MappingThread = StatisticsViewLock = nullptr;
    PublishedStatisticsView = nullptr;
    PublishedStatisticsViewSize = 0;
}
