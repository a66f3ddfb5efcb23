#include "mapping_layout.h"

#include <cstring>

namespace {

constexpr uint32_t DirectoryHeaderSize = 24;
constexpr uint32_t EntrySize = 562;
constexpr uint32_t MappingNameBytes = 534;
constexpr uint32_t CounterNameBytes = 1024;

void Put32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put64(uint8_t* at, uint64_t value)
{
    Put32(at, static_cast<uint32_t>(value));
    Put32(at + 4, static_cast<uint32_t>(value >> 32));
}

void PutIdentity(uint8_t* at, const Identity& identity)
{
    for (int i = 0; i < 4; ++i)
        Put32(at + 4 * i, identity.words[i]);
}

// UTF-16 with its NUL; a name too long for the field is cut, still ending
// in NUL, as the service keeps its fields terminated.
void PutName(uint8_t* field, uint32_t fieldBytes, const std::wstring& name)
{
    memset(field, 0, fieldBytes);
    size_t room = fieldBytes / 2 - 1;
    for (size_t i = 0; i < name.size() && i < room; ++i) {
        field[2 * i] = static_cast<uint8_t>(name[i]);
        field[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(name[i]) >> 8);
    }
}

uint32_t Clamp32(uint64_t value)
{
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

uint8_t* Entry(uint8_t* directory, uint32_t index)
{
    return directory + DirectoryHeaderSize + index * EntrySize;
}

uint8_t* Counters(uint8_t* view, uint32_t index)
{
    return view + ViewHeaderSize + index * CountersSize;
}

}  // namespace

void WriteDirectoryHeader(uint8_t* directory, const Identity& identity, uint32_t entryCount, bool invalid)
{
    PutIdentity(directory, identity);
    Put32(directory + 16, entryCount);
    memset(directory + 20, 0, 4);
    directory[20] = invalid ? 1 : 0;
}

void WriteDirectoryEntry(uint8_t* directory, uint32_t index, uint32_t key, uint32_t viewSize, const std::wstring& name)
{
    uint8_t* entry = Entry(directory, index);
    memset(entry, 0, 28);
    Put32(entry, index);  // bytes the agent does not read
    Put32(entry + 16, key);
    Put32(entry + 20, viewSize);
    PutName(entry + 28, MappingNameBytes, name);
}

void ClearDirectoryEntry(uint8_t* directory, uint32_t index)
{
    memset(Entry(directory, index), 0, EntrySize);
}

void SetInvalidBit(uint8_t* directoryOrView, bool directory, bool invalid)
{
    uint8_t& flags = directoryOrView[directory ? 20 : 16];
    flags = static_cast<uint8_t>(invalid ? flags | 1 : flags & ~1);
}

void WriteViewHeader(uint8_t* view, const Identity& identity, uint32_t interfaceCount, bool invalid)
{
    PutIdentity(view, identity);
    memset(view + 16, 0, 16);
    view[16] = invalid ? 1 : 0;
    Put32(view + 32, interfaceCount);
}

void WriteInterfaceCounters(uint8_t* view, uint32_t index, const SimInterface& item)
{
    uint8_t* counters = Counters(view, index);
    memset(counters, 0, 8);
    PutName(counters + 8, CounterNameBytes, item.name);
    bool connected = (item.flags & IfConnected) != 0;
    // Hardware headers are taken to be about one twentieth of the traffic.
    Put32(counters + 1032, Clamp32(item.currentRx));
    Put32(counters + 1036, Clamp32(item.currentTx));
    Put32(counters + 1040, Clamp32(item.currentRx / 100 * 95));
    Put32(counters + 1044, Clamp32(item.currentTx / 100 * 95));
    Put64(counters + 1048, item.connectedSeconds * 10000000ull);
    Put32(counters + 1056, connected ? (item.connectionCount > 1 ? item.connectionCount : 1) : 0);
    Put32(counters + 1060, Clamp32(item.linkSpeed));
}

void ClearInterfaceCounters(uint8_t* view, uint32_t index)
{
    memset(Counters(view, index), 0, CountersSize);
}
