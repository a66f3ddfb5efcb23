// ZorvanHProbe: loads the interface library by ordinal the way a caller
// would, asks for interface lists and prints what came back.
//   ZorvanHProbe.exe [--dll <path>] [action...]
// actions: init, list <selector>, busy <selector>, double <selector>,
//          raw <code> [<u32 input>], ledger, wait-status <ms>, wait-conf <ms>,
//          threads <count> (each lists 20 times), mapping (the shared memory as
//          a reader sees it). Without actions: init, list 1, list 8, list 16,
//          list 44, ledger.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "../common/pipe_client.h"

namespace {

typedef uint32_t(WINAPI* InitializeFn)(void);
typedef uint32_t(WINAPI* RequestFn)(uint32_t, const void*, uint32_t, uint32_t, void**, uint32_t*, uint8_t*, uint32_t*,
                                    uint32_t, uint32_t);
typedef void(WINAPI* ReleaseFn)(void*, uint32_t, uint32_t, uint32_t);

InitializeFn Initialize = nullptr;
InitializeFn Uninitialize = nullptr;
RequestFn Request = nullptr;
ReleaseFn Release = nullptr;

constexpr uint32_t Busy = 0xC0FE000Du;

struct Reply {
    void* data = nullptr;
    uint32_t size = 0;
    uint8_t flag = 0;
    uint32_t token = 0xFFFFFFFFu;
    bool Held() const
    {
        return data != nullptr || size != 0 || token != 0xFFFFFFFFu;
    }
};

uint32_t Get32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
        (static_cast<uint32_t>(at[3]) << 24);
}

// A UTF-16 string of at most size bytes; stops at the NUL or the limit.
std::string ReadString(const uint8_t* at, uint32_t size, bool& terminated)
{
    std::wstring wide;
    terminated = false;
    for (uint32_t offset = 0; offset + 1 < size; offset += 2) {
        wchar_t c = static_cast<wchar_t>(at[offset] | (at[offset + 1] << 8));
        if (c == 0) {
            terminated = true;
            break;
        }
        wide += c;
    }
    if (wide.empty())
        return std::string();
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0], length, nullptr, nullptr);
    return narrow;
}

void PrintInterfaceList(const Reply& reply)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(reply.data);
    if (reply.size < 8) {
        printf("  reply shorter than 8 bytes\n");
        return;
    }
    uint32_t count = Get32(bytes + 4);
    printf("  first=0x%08X count=%u\n", static_cast<unsigned>(Get32(bytes)), static_cast<unsigned>(count));
    uint32_t offset = 8;
    for (uint32_t index = 0; index < count; ++index) {
        if (reply.size - offset < 24) {
            printf("  record %u: header past the end\n", static_cast<unsigned>(index));
            return;
        }
        const uint8_t* record = bytes + offset;
        uint32_t recordSize = Get32(record), flags = Get32(record + 4), nameSize = Get32(record + 8);
        uint32_t part2 = Get32(record + 12), part3 = Get32(record + 16), idSize = Get32(record + 20);
        uint64_t partsEnd = 24ull + nameSize + part2 + part3 + idSize;
        if (recordSize < 24 || recordSize > reply.size - offset) {
            printf("  record %u: bad RecordSize %u\n", static_cast<unsigned>(index), static_cast<unsigned>(recordSize));
            return;
        }
        if (partsEnd > recordSize) {
            printf("  record %u: parts (%u bytes) overrun RecordSize %u\n", static_cast<unsigned>(index),
                   static_cast<unsigned>(partsEnd), static_cast<unsigned>(recordSize));
            return;
        }
        bool nameEnded = false, idEnded = false;
        std::string name = ReadString(record + 24, nameSize, nameEnded);
        std::string id = ReadString(record + 24 + nameSize + part2 + part3, idSize, idEnded);
        printf("  record %u: size=%u flags=0x%02X name=\"%s\"%s part2=%u part3=%u id=\"%s\"%s\n",
               static_cast<unsigned>(index), static_cast<unsigned>(recordSize), static_cast<unsigned>(flags),
               name.c_str(), nameSize != 0 && !nameEnded ? " (no NUL)" : "", static_cast<unsigned>(part2),
               static_cast<unsigned>(part3), id.c_str(), idSize != 0 && !idEnded ? " (no NUL)" : "");
        offset += recordSize;
    }
}

uint32_t Ask(uint32_t code, const void* input, uint32_t inputSize, Reply& reply)
{
    reply = Reply();
    return Request(code, input, inputSize, 1, &reply.data, &reply.size, &reply.flag, &reply.token, 0, 0);
}

void HandBack(Reply& reply)
{
    if (reply.Held())
        Release(reply.data, reply.size, reply.flag, reply.token);
    reply = Reply();
}

void List(uint32_t selector, bool repeatWhileBusy, bool releaseTwice)
{
    Reply reply;
    uint32_t status = Ask(1, &selector, 4, reply);
    unsigned busy = 0;
    while (repeatWhileBusy && status == Busy && busy < 50) {
        ++busy;
        printf("  busy %u: reply %s, %u bytes\n", busy, reply.Held() ? "held" : "none",
               static_cast<unsigned>(reply.size));
        HandBack(reply);
        Sleep(200);
        status = Ask(1, &selector, 4, reply);
    }
    printf("list %u: status=0x%08X size=%u held=%s\n", static_cast<unsigned>(selector), static_cast<unsigned>(status),
           static_cast<unsigned>(reply.size), reply.Held() ? "yes" : "no");
    if (status == 0 && reply.data != nullptr)
        PrintInterfaceList(reply);
    Reply copy = reply;
    HandBack(reply);
    if (releaseTwice && copy.Held())
        Release(copy.data, copy.size, copy.flag, copy.token);
}

void Raw(uint32_t code, bool withInput, uint32_t input)
{
    Reply reply;
    uint32_t status = Ask(code, withInput ? &input : nullptr, withInput ? 4 : 0, reply);
    printf("request %u: status=0x%08X size=%u held=%s\n", static_cast<unsigned>(code), static_cast<unsigned>(status),
           static_cast<unsigned>(reply.size), reply.Held() ? "yes" : "no");
    HandBack(reply);
}

// Waits on one of the service's named events as a watcher would.
void WaitServiceEvent(const wchar_t* name, uint32_t milliseconds)
{
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name);
    if (event == nullptr) {
        printf("%ls: missing\n", name);
        return;
    }
    DWORD result = WaitForSingleObject(event, milliseconds);
    printf("%ls: %s\n", name, result == WAIT_OBJECT_0 ? "signalled" : "timeout");
    CloseHandle(event);
}

std::string IdentityText(const uint8_t* at)
{
    char text[48];
    snprintf(text, sizeof text, "%08X,%08X,%08X,%08X", static_cast<unsigned>(Get32(at)),
             static_cast<unsigned>(Get32(at + 4)), static_cast<unsigned>(Get32(at + 8)),
             static_cast<unsigned>(Get32(at + 12)));
    return text;
}

const uint8_t* MapForReading(const wchar_t* name, uint32_t size, HANDLE& mapping)
{
    mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (mapping == nullptr)
        return nullptr;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
    if (view == nullptr)
        CloseHandle(mapping);
    return static_cast<const uint8_t*>(view);
}

void PrintStatisticsView(const std::wstring& name, uint32_t size)
{
    HANDLE mapping = nullptr;
    const uint8_t* view = size >= 36 ? MapForReading(name.c_str(), size, mapping) : nullptr;
    if (view == nullptr) {
        printf("view: missing\n");
        return;
    }
    uint32_t count = Get32(view + 32);
    printf("view: identity=%s interfaces=%u invalid=%u\n", IdentityText(view).c_str(), static_cast<unsigned>(count),
           static_cast<unsigned>(view[16] & 1));
    for (uint32_t index = 0; index < count && 36 + (index + 1) * 1064ull <= size; ++index) {
        const uint8_t* entry = view + 36 + index * 1064;
        bool ended = false;
        std::string text = ReadString(entry + 8, 1024, ended);
        printf("  interface %u: name=\"%s\" rx=%u tx=%u rx-nh=%u tx-nh=%u time=%llu connected=%u speed=%u\n",
               static_cast<unsigned>(index), text.c_str(), static_cast<unsigned>(Get32(entry + 1032)),
               static_cast<unsigned>(Get32(entry + 1036)), static_cast<unsigned>(Get32(entry + 1040)),
               static_cast<unsigned>(Get32(entry + 1044)),
               static_cast<unsigned long long>(Get32(entry + 1048) | static_cast<uint64_t>(Get32(entry + 1052)) << 32),
               static_cast<unsigned>(Get32(entry + 1056)), static_cast<unsigned>(Get32(entry + 1060)));
    }
    UnmapViewOfFile(view);
    CloseHandle(mapping);
}

// Reads the directory and the view it names without the server mutex, so a
// test can look while the mutex is held or abandoned.
void PrintMapping()
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"ZorvanHServiceFileMappingServerMutexName");
    printf("mutex: %s\n", mutex != nullptr ? "present" : "missing");
    if (mutex != nullptr)
        CloseHandle(mutex);
    HANDLE mapping = nullptr;
    const uint8_t* directory = MapForReading(L"ZorvanHServiceFileMappingServerName", 8192, mapping);
    if (directory == nullptr) {
        printf("directory: missing\n");
        return;
    }
    uint32_t count = Get32(directory + 16);
    printf("directory: identity=%s entries=%u invalid=%u\n", IdentityText(directory).c_str(),
           static_cast<unsigned>(count), static_cast<unsigned>(directory[20] & 1));
    std::wstring statisticsName;
    uint32_t statisticsSize = 0;
    for (uint32_t index = 0; index < count && 24 + (index + 1) * 562ull <= 8192; ++index) {
        const uint8_t* entry = directory + 24 + index * 562;
        bool ended = false;
        std::string text = ReadString(entry + 28, 534, ended);
        uint32_t key = Get32(entry + 16), size = Get32(entry + 20);
        printf("  entry %u: key=%u size=%u name=\"%s\"\n", static_cast<unsigned>(index), static_cast<unsigned>(key),
               static_cast<unsigned>(size), text.c_str());
        if (key == 65535 && statisticsName.empty()) {
            statisticsName.assign(text.begin(), text.end());
            statisticsSize = size;
        }
    }
    UnmapViewOfFile(directory);
    CloseHandle(mapping);
    if (!statisticsName.empty())
        PrintStatisticsView(statisticsName, statisticsSize);
}

DWORD WINAPI ListTwentyTimes(LPVOID)
{
    for (int round = 0; round < 20; ++round) {
        uint32_t selector = round % 2 == 0 ? 44 : 1;
        Reply reply;
        Ask(1, &selector, 4, reply);
        HandBack(reply);
    }
    return 0;
}

void RunThreads(uint32_t count)
{
    std::vector<HANDLE> threads;
    for (uint32_t index = 0; index < count && index < MAXIMUM_WAIT_OBJECTS; ++index) {
        HANDLE thread = CreateThread(nullptr, 0, ListTwentyTimes, nullptr, 0, nullptr);
        if (thread != nullptr)
            threads.push_back(thread);
    }
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    printf("threads %u: done\n", static_cast<unsigned>(threads.size()));
}

void PrintLedger()
{
    std::string text;
    int result = SimControl({"ledger"}, text);
    printf("ledger: %s\n", result == 2 ? "no simulator" : text.c_str());
}

bool LoadLibraryByOrdinal(const wchar_t* path)
{
    HMODULE module = LoadLibraryW(path);
    if (module == nullptr)
        return false;
    Initialize = reinterpret_cast<InitializeFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))));
    Uninitialize = reinterpret_cast<InitializeFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))));
    Request = reinterpret_cast<RequestFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(3))));
    Release = reinterpret_cast<ReleaseFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(4))));
    return Initialize != nullptr && Uninitialize != nullptr && Request != nullptr && Release != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* dll = L"ZorvanHServiceIO.dll";
    int first = 1;
    if (argc >= 3 && wcscmp(argv[1], L"--dll") == 0) {
        dll = argv[2];
        first = 3;
    }
    if (!LoadLibraryByOrdinal(dll)) {
        printf("cannot load %ls by ordinal\n", dll);
        return 2;
    }
    std::vector<std::wstring> actions(argv + first, argv + argc);
    if (actions.empty())
        actions = {L"init", L"list", L"1", L"list", L"8", L"list", L"16", L"list", L"44", L"ledger"};

    for (size_t at = 0; at < actions.size(); ++at) {
        const std::wstring& action = actions[at];
        bool hasArg = at + 1 < actions.size();
        uint32_t arg = hasArg ? static_cast<uint32_t>(wcstoul(actions[at + 1].c_str(), nullptr, 0)) : 0;
        if (action == L"init") {
            printf("init: status=0x%08X\n", static_cast<unsigned>(Initialize()));
        } else if (action == L"uninit") {
            Uninitialize();
            printf("uninit\n");
        } else if (action == L"ledger") {
            PrintLedger();
        } else if ((action == L"list" || action == L"busy" || action == L"double") && hasArg) {
            List(arg, action == L"busy", action == L"double");
            ++at;
        } else if (action == L"wait-status" && hasArg) {
            WaitServiceEvent(L"ZorvanHEvSrvNetStatusChanged", arg);
            ++at;
        } else if (action == L"wait-conf" && hasArg) {
            WaitServiceEvent(L"ZorvanHEvSrvNetConfChanged", arg);
            ++at;
        } else if (action == L"mapping") {
            PrintMapping();
        } else if (action == L"threads" && hasArg) {
            RunThreads(arg);
            ++at;
        } else if (action == L"raw" && hasArg) {
            bool withInput = at + 2 < actions.size() && iswdigit(actions[at + 2][0]);
            uint32_t input = withInput ? static_cast<uint32_t>(wcstoul(actions[at + 2].c_str(), nullptr, 0)) : 0;
            Raw(arg, withInput, input);
            at += withInput ? 2 : 1;
        } else {
            printf("unknown action %ls\n", action.c_str());
            return 1;
        }
        fflush(stdout);
    }
    return 0;
}
