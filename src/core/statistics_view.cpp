#include "core/statistics_view.h"

#include <new>

#include "core/wire_read.h"

static Char16 ReadChar16(const uint8_t* p)
{
    return Char16(p[0] | p[1] << 8);
}

// Characters before the NUL of a fixed-size field, or -1 when the field has
// no NUL: such a name is cut off, not short.
static long TerminatedLength(const uint8_t* field, uint32_t fieldBytes)
{
    for (uint32_t n = 0; n < fieldBytes / 2; ++n)
        if (ReadChar16(field + 2 * n) == 0)
            return long(n);
    return -1;
}

// Read character by character: the block may come from anywhere, so its
// strings need not be aligned for Char16.
static Text16 CopyName(const uint8_t* field, long length)
{
    Text16 text(size_t(length), Char16(0));
    for (long n = 0; n < length; ++n)
        text[size_t(n)] = ReadChar16(field + 2 * n);
    return text;
}

static MappingIdentity ReadIdentity(const uint8_t* p)
{
    MappingIdentity identity;
    for (int i = 0; i < 4; ++i)
        identity.words[i] = ReadU32(p + 4 * i);
    return identity;
}

bool SameIdentity(const MappingIdentity& a, const MappingIdentity& b)
{
    for (int i = 0; i < 4; ++i)
        if (a.words[i] != b.words[i])
            return false;
    return true;
}

bool ReadMappingDirectoryHeader(const uint8_t* directory, size_t size, MappingDirectoryHeader* out)
{
    if (size < MappingDirectoryHeaderSize)
        return false;
    out->identity = ReadIdentity(directory);
    out->entryCount = ReadU32(directory + 16);
    out->invalid = (directory[20] & 1) != 0;
    return true;
}

bool FindStatisticsMappingEntry(const uint8_t* directory, size_t size, StatisticsMappingEntry* out)
{
    MappingDirectoryHeader header;
    if (!ReadMappingDirectoryHeader(directory, size, &header))
        return false;
    uint64_t offset = MappingDirectoryHeaderSize;
    for (uint32_t i = 0; i < header.entryCount && FitsIn(size, offset, MappingDirectoryEntrySize);
         ++i, offset += MappingDirectoryEntrySize) {
        const uint8_t* entry = directory + offset;
        if (ReadU32(entry + 16) != StatisticsMappingKey)
            continue;
        // The first entry with the key is the statistics mapping even when
        // it is damaged; a later one is not a fallback.
        uint32_t viewSize = ReadU32(entry + 20);
        long length = TerminatedLength(entry + 28, MappingNameBytes);
        if (length < 0 || viewSize < StatisticsViewHeaderSize)
            return false;
        // A name that cannot be copied counts as no entry this pass; the
        // link tries again later (no exception leaves the link's thread).
        try {
            out->mappingName = CopyName(entry + 28, length);
        } catch (const std::bad_alloc&) {
            return false;
        }
        out->viewSize = viewSize;
        return true;
    }
    return false;
}

bool ReadStatisticsViewHeader(const uint8_t* view, size_t size, StatisticsViewHeader* out)
{
    if (size < StatisticsViewHeaderSize)
        return false;
    out->identity = ReadIdentity(view);
    out->invalid = (view[16] & 1) != 0;
    out->interfaceCount = ReadU32(view + 32);
    return true;
}

// Compared in place: this runs for every interface once a second under the
// view's lock, where nothing may allocate.
static bool NameMatches(const uint8_t* field, const Text16& name)
{
    long length = TerminatedLength(field, InterfaceCountersNameBytes);
    if (length < 0 || size_t(length) != name.size())
        return false;
    for (size_t n = 0; n < name.size(); ++n)
        if (FoldAsciiLetter(ReadChar16(field + 2 * n)) != FoldAsciiLetter(name[n]))
            return false;
    return true;
}

bool FindInterfaceCounters(const uint8_t* view, size_t size, const Text16& name, InterfaceCountersView* out)
{
    StatisticsViewHeader header;
    if (!ReadStatisticsViewHeader(view, size, &header))
        return false;
    uint64_t offset = StatisticsViewHeaderSize;
    for (uint32_t i = 0; i < header.interfaceCount && FitsIn(size, offset, InterfaceCountersSize);
         ++i, offset += InterfaceCountersSize) {
        const uint8_t* entry = view + offset;
        if (!NameMatches(entry + 8, name))
            continue;
        out->receiveRate = ReadU32(entry + 1032);
        out->sendRate = ReadU32(entry + 1036);
        out->receiveRateNoHeaders = ReadU32(entry + 1040);
        out->sendRateNoHeaders = ReadU32(entry + 1044);
        out->connectionTime = ReadU64(entry + 1048);
        out->connected = ReadU32(entry + 1056);
        out->linkSpeed = ReadU32(entry + 1060);
        return true;
    }
    return false;
}
