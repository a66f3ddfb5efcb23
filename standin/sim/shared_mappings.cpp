#include "shared_mappings.h"

#include <windows.h>

#include <cstdint>

#include "mapping_layout.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

constexpr wchar_t ServerMutexName[] = L"ZorvanHServiceFileMappingServerMutexName";
constexpr wchar_t DirectoryName[] = L"ZorvanHServiceFileMappingServerName";
constexpr wchar_t OtherMappingName[] = L"ZorvanHServiceFileMappingConfig";
constexpr uint32_t OtherMappingKey = 1;
// Room for this many present interfaces; more are left out of the view.
constexpr uint32_t ViewCapacity = 16;
constexpr uint32_t ViewSize = ViewHeaderSize + ViewCapacity * CountersSize;
constexpr DWORD MutexWaitMs = 2000;
constexpr uint32_t RestAfterAbandonSeconds = 3;

struct SharedMappings {
    HANDLE serverMutex = nullptr;
    HANDLE directoryMapping = nullptr;
    uint8_t* directory = nullptr;
    HANDLE statisticsMapping = nullptr;
    uint8_t* view = nullptr;
    std::wstring viewName;
    uint32_t generation = 0;         // one per creation; names the view
    uint32_t directoryRevision = 0;  // one per change of the directory's entries
    uint32_t viewRevision = 0;       // the view identity's third word
    bool directoryInvalid = false;
    bool viewInvalid = false;
    bool entryRemoved = false;
    uint32_t announcedSize = 0;  // the entry's ViewSize when not 0, true or not
    bool countGiven = false;     // the view's InterfaceCount is `count`, not the truth
    uint32_t count = 0;
    uint32_t restUntil = 0;  // second before which the clock does not lock
    uint32_t taken = 0;
    uint32_t abandoned = 0;
    uint32_t busy = 0;
};

SharedMappings Shared;

bool LockServerMutex()
{
    DWORD waited = WaitForSingleObject(Shared.serverMutex, MutexWaitMs);
    if (waited == WAIT_OBJECT_0)
        ++Shared.taken;
    else if (waited == WAIT_ABANDONED)
        ++Shared.abandoned;
    else
        ++Shared.busy;
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

Identity DirectoryIdentity()
{
    return Identity{{0x5A484452u, Shared.generation, GetCurrentProcessId(), Shared.directoryRevision}};
}

Identity ViewIdentity()
{
    return Identity{{0x5A485653u, Shared.generation, Shared.viewRevision, GetCurrentProcessId()}};
}

void WriteDirectory()
{
    uint32_t entries = Shared.entryRemoved ? 1 : 2;
    WriteDirectoryHeader(Shared.directory, DirectoryIdentity(), entries, Shared.directoryInvalid);
    WriteDirectoryEntry(Shared.directory, 0, OtherMappingKey, 4096, OtherMappingName);
    if (Shared.entryRemoved)
        ClearDirectoryEntry(Shared.directory, 1);
    else
        WriteDirectoryEntry(Shared.directory, 1, StatisticsKey,
                            Shared.announcedSize != 0 ? Shared.announcedSize : ViewSize, Shared.viewName);
}

void WriteView()
{
    uint32_t count = 0;
    for (const SimInterface& item : Sim.interfaces)
        if (!(item.flags & IfNotPresent) && count < ViewCapacity)
            WriteInterfaceCounters(Shared.view, count++, item);
    for (uint32_t index = count; index < ViewCapacity; ++index)
        ClearInterfaceCounters(Shared.view, index);
    WriteViewHeader(Shared.view, ViewIdentity(), Shared.countGiven ? Shared.count : count, Shared.viewInvalid);
}

bool WriteUnderMutex(std::string& out)
{
    if (Shared.directory == nullptr)
        return true;  // stopped: kept for the next start
    if (!LockServerMutex()) {
        out = "server mutex busy";
        return false;
    }
    WriteDirectory();
    WriteView();
    ReleaseMutex(Shared.serverMutex);
    return true;
}

void CloseObject(HANDLE& handle)
{
    if (handle != nullptr)
        CloseHandle(handle);
    handle = nullptr;
}

uint8_t* CreateMapping(const wchar_t* name, uint32_t size, HANDLE& mapping)
{
    mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (mapping == nullptr)
        return nullptr;
    return static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size));
}

DWORD WINAPI AbandonMain(LPVOID mutex)
{
    DWORD waited = WaitForSingleObject(static_cast<HANDLE>(mutex), MutexWaitMs);
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED ? 0 : 1;
}

}  // namespace

bool CreateSharedMappings()
{
    if (Shared.directory != nullptr)
        return true;
    ++Shared.generation;
    Shared.viewName = L"ZorvanHServiceFileMappingStatistics" + std::to_wstring(Shared.generation);
    Shared.serverMutex = CreateMutexW(nullptr, FALSE, ServerMutexName);
    if (Shared.serverMutex != nullptr)
        Shared.view = CreateMapping(Shared.viewName.c_str(), ViewSize, Shared.statisticsMapping);
    if (Shared.view != nullptr)
        Shared.directory = CreateMapping(DirectoryName, DirectorySize, Shared.directoryMapping);
    std::string ignored;
    if (Shared.directory == nullptr || !WriteUnderMutex(ignored)) {
        CloseSharedMappings();
        return false;
    }
    return true;
}

void CloseSharedMappings()
{
    // A reader that still has a view open sees it invalid, not frozen.
    bool locked = Shared.serverMutex != nullptr && LockServerMutex();
    if (Shared.directory != nullptr)
        SetInvalidBit(Shared.directory, true, true);
    if (Shared.view != nullptr)
        SetInvalidBit(Shared.view, false, true);
    if (locked)
        ReleaseMutex(Shared.serverMutex);
    if (Shared.directory != nullptr)
        UnmapViewOfFile(Shared.directory);
    if (Shared.view != nullptr)
        UnmapViewOfFile(Shared.view);
    Shared.directory = nullptr;
    Shared.view = nullptr;
    CloseObject(Shared.directoryMapping);
    CloseObject(Shared.statisticsMapping);
    CloseObject(Shared.serverMutex);
}

void UpdateSharedMappings()
{
    if (Sim.elapsed < Shared.restUntil)
        return;
    std::string ignored;
    WriteUnderMutex(ignored);
}

bool SetMappingFault(MappingFault fault, bool on, std::string& out)
{
    if (fault == MappingFault::DirectoryInvalid)
        Shared.directoryInvalid = on;
    if (fault == MappingFault::ViewInvalid)
        Shared.viewInvalid = on;
    if (fault == MappingFault::EntryRemoved && Shared.entryRemoved != on) {
        Shared.entryRemoved = on;
        ++Shared.directoryRevision;  // a directory with other entries is a rebuilt one
    }
    return WriteUnderMutex(out);
}

bool SetAnnouncedViewSize(uint32_t size, std::string& out)
{
    Shared.announcedSize = size;
    ++Shared.directoryRevision;  // readers map the entry anew only after a rebuild
    return WriteUnderMutex(out);
}

bool SetViewCount(bool given, uint32_t count, std::string& out)
{
    Shared.countGiven = given;
    Shared.count = count;
    return WriteUnderMutex(out);
}

bool ChangeViewIdentity(std::string& out)
{
    ++Shared.viewRevision;
    return WriteUnderMutex(out);
}

bool AbandonServerMutex(std::string& out)
{
    if (Shared.serverMutex == nullptr) {
        out = "service stopped";
        return false;
    }
    HANDLE thread = CreateThread(nullptr, 0, AbandonMain, Shared.serverMutex, 0, nullptr);
    if (thread == nullptr) {
        out = "cannot start a thread";
        return false;
    }
    DWORD code = 1;
    if (WaitForSingleObject(thread, MutexWaitMs + 1000) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &code))
        code = 1;
    CloseHandle(thread);
    if (code != 0) {
        out = "server mutex busy";
        return false;
    }
    Shared.restUntil = Sim.elapsed + RestAfterAbandonSeconds;
    return true;
}

std::string DescribeServerMutex()
{
    return "taken=" + std::to_string(Shared.taken) + " abandoned=" + std::to_string(Shared.abandoned) +
        " busy=" + std::to_string(Shared.busy);
}

std::string DescribeSharedMappings()
{
    return "view=" + (Shared.view != nullptr ? WideToUtf8(Shared.viewName) : std::string("none")) +
        " directory-invalid=" + (Shared.directoryInvalid ? "1" : "0") +
        " view-invalid=" + (Shared.viewInvalid ? "1" : "0") +
        " entry=" + (Shared.entryRemoved ? "removed" : "present") +
        " view-identity=" + std::to_string(Shared.viewRevision) +
        " view-size=" + (Shared.announcedSize != 0 ? std::to_string(Shared.announcedSize) : std::string("real")) +
        " count=" + (Shared.countGiven ? std::to_string(Shared.count) : std::string("real")) + " " +
        DescribeServerMutex();
}
