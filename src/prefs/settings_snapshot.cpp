#include "prefs/settings_snapshot.h"

#include "core/wire_read.h"

static void PutU16(std::vector<uint8_t>* out, uint32_t v)
{
    out->push_back(uint8_t(v));
    out->push_back(uint8_t(v >> 8));
}

static void PutU32(std::vector<uint8_t>* out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

static void SetU16(std::vector<uint8_t>* out, size_t at, uint32_t v)
{
    (*out)[at] = uint8_t(v);
    (*out)[at + 1] = uint8_t(v >> 8);
}

static uint16_t ReadU16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

static bool Representable(const SnapshotEntry& e)
{
    if (e.name.size() > 255)
        return false;
    if (e.kind == SnapshotKey)
        return e.data.empty();
    return e.data.size() <= 0xFFFF && e.children.empty();
}

static void WriteRecordHead(const SnapshotEntry& e, uint32_t dataField, std::vector<uint8_t>* out)
{
    out->push_back(uint8_t(e.name.size()));
    out->push_back(e.kind);
    PutU16(out, dataField);
    for (Char16 c : e.name)
        PutU16(out, uint16_t(c));
}

// Returns whether the entry was written (counted in its parent).
static bool WriteEntry(const SnapshotEntry& e, unsigned depth, std::vector<uint8_t>* out);

static uint32_t WriteChildren(const std::vector<SnapshotEntry>& list, bool keysFirst, unsigned depth,
                              std::vector<uint8_t>* out)
{
    // Reverse enumeration order, one kind after the other, as the list was
    // built by putting each new node in front.
    uint32_t written = 0;
    for (int pass = 0; pass < 2; ++pass) {
        bool wantKeys = (pass == 0) == keysFirst;
        for (size_t i = list.size(); i-- > 0;) {
            const SnapshotEntry& e = list[i];
            if ((e.kind == SnapshotKey) != wantKeys)
                continue;
            if (written == 0xFFFF)
                return written;
            if (WriteEntry(e, depth, out))
                ++written;
        }
    }
    return written;
}

static bool WriteEntry(const SnapshotEntry& e, unsigned depth, std::vector<uint8_t>* out)
{
    if (!Representable(e))
        return false;
    if (e.kind != SnapshotKey) {
        WriteRecordHead(e, uint32_t(e.data.size()), out);
        out->insert(out->end(), e.data.begin(), e.data.end());
        return true;
    }
    if (depth >= SnapshotMaxDepth)
        return false;
    size_t countAt = out->size() + 2;
    WriteRecordHead(e, 0, out);
    SetU16(out, countAt, WriteChildren(e.children, true, depth + 1, out));
    return true;
}

void EncodeSettingsSnapshot(const std::vector<SnapshotEntry>& top, uint64_t created, std::vector<uint8_t>* out)
{
    out->clear();
    PutU32(out, 0);
    PutU32(out, SnapshotVersion);
    PutU16(out, 0);
    PutU32(out, uint32_t(created));
    PutU32(out, uint32_t(created >> 32));
    uint32_t topCount = WriteChildren(top, false, 1, out);
    SetU16(out, 8, topCount);
    uint32_t total = uint32_t(out->size());
    for (int i = 0; i < 4; ++i)
        (*out)[i] = uint8_t(total >> (8 * i));
}

struct SnapshotParse {
    const uint8_t* bytes;
    size_t size;
    size_t at;
};

static SnapshotDecode ParseList(SnapshotParse* p, uint32_t count, unsigned depth, std::vector<SnapshotEntry>* list)
{
    for (uint32_t i = 0; i < count; ++i) {
        size_t remaining = p->size - p->at;
        if (remaining < 4)
            return SnapshotDecoded;
        const uint8_t* head = p->bytes + p->at;
        uint32_t nameChars = head[0];
        uint8_t kind = head[1];
        uint32_t dataField = ReadU16(head + 2);
        uint64_t recordBytes = 4 + 2 * uint64_t(nameChars) + (kind == SnapshotKey ? 0 : dataField);
        if (recordBytes > remaining)
            return SnapshotRecordPastEnd;
        SnapshotEntry entry;
        entry.kind = kind;
        entry.name.reserve(nameChars);
        // Names are taken as they come (none is checked): a value name
        // with '\\' in it is an ordinary value name, and whatever a key name
        // holds is the registry's to create or refuse when it is written.
        for (uint32_t c = 0; c < nameChars; ++c)
            entry.name.push_back(Char16(ReadU16(head + 4 + 2 * c)));
        const uint8_t* data = head + 4 + 2 * nameChars;
        p->at += size_t(recordBytes);
        if (kind == SnapshotKey) {
            if (depth >= SnapshotMaxDepth)
                return SnapshotTooDeep;
            SnapshotDecode r = ParseList(p, dataField, depth + 1, &entry.children);
            if (r != SnapshotDecoded)
                return r;
        } else {
            entry.data.assign(data, data + dataField);
        }
        list->push_back(std::move(entry));
    }
    return SnapshotDecoded;
}

SnapshotDecode DecodeSettingsSnapshot(const uint8_t* bytes, size_t size, std::vector<SnapshotEntry>* top)
{
    top->clear();
    if (bytes == nullptr || size < SnapshotHeaderBytes)
        return SnapshotTooShort;
    if (ReadU32(bytes) != size)
        return SnapshotSizeMismatch;
    uint32_t topCount = ReadU16(bytes + 8);
    if (topCount == 0)
        return SnapshotEmpty;
    if (ReadU32(bytes + 4) < SnapshotVersion)
        return SnapshotOldVersion;
    SnapshotParse p = {bytes, size, SnapshotHeaderBytes};
    SnapshotDecode r = ParseList(&p, topCount, 1, top);
    if (r != SnapshotDecoded)
        top->clear();
    return r;
}
