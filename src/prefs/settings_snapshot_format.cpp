#include "prefs/settings_snapshot_format.h"

#include <algorithm>

#include "core/wire_read.h"

namespace {

void PutU16(std::vector<uint8_t>* out, uint32_t value)
{
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void PutU32(std::vector<uint8_t>* out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutRecords(std::vector<uint8_t>* out, const std::vector<SnapshotNode>& nodes)
{
    for (const SnapshotNode& node : nodes) {
        const bool key = node.kind == SnapshotKey;
        out->push_back(uint8_t(node.name.size()));
        out->push_back(node.kind);
        PutU16(out, uint32_t(key ? node.children.size() : node.data.size()));
        for (Char16 c : node.name)
            PutU16(out, uint32_t(c));
        if (key)
            PutRecords(out, node.children);
        else
            out->insert(out->end(), node.data.begin(), node.data.end());
    }
}

struct SnapshotReader {
    const uint8_t* bytes;
    uint32_t size;
    uint32_t offset;
};

uint32_t ReadU16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

SnapshotStatus ReadRecords(SnapshotReader* r, uint32_t count, int depth, std::vector<SnapshotNode>* list)
{
    if (count != 0 && depth > SnapshotMaxDepth)
        return SnapshotTooDeep;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t remaining = r->size - r->offset;
        if (remaining < 4)
            break;
        const uint8_t* record = r->bytes + r->offset;
        const uint32_t nameChars = record[0], sizeField = ReadU16(record + 2);
        const bool key = record[1] == SnapshotKey;
        const uint32_t recordSize = 4 + 2 * nameChars + (key ? 0 : sizeField);
        if (recordSize > remaining)
            return SnapshotPastEnd;
        SnapshotNode node;
        node.kind = record[1];
        node.name.resize(nameChars);
        for (uint32_t c = 0; c < nameChars; ++c)
            node.name[c] = Char16(ReadU16(record + 4 + 2 * c));
        if (key && (nameChars == 0 || node.name.find(Char16('\\')) != Text16::npos))
            return SnapshotBadKeyName;
        r->offset += recordSize;
        if (key) {
            SnapshotStatus status = ReadRecords(r, sizeField, depth + 1, &node.children);
            if (status != SnapshotGood)
                return status;
        } else {
            node.data.assign(record + 4 + 2 * nameChars, record + recordSize);
        }
        list->push_back(std::move(node));
    }
    // Each record went to the front of its list in the original reader.
    std::reverse(list->begin(), list->end());
    return SnapshotGood;
}

}  // namespace

bool FitsSnapshotRecord(size_t nameChars, size_t dataBytes)
{
    return nameChars <= SnapshotMaxNameChars && dataBytes <= SnapshotMaxData;
}

std::vector<uint8_t> EncodeSettingsSnapshot(const std::vector<SnapshotNode>& top, uint64_t created)
{
    std::vector<uint8_t> out;
    PutU32(&out, 0);  // the total, once known
    PutU32(&out, SnapshotVersion);
    PutU16(&out, uint32_t(top.size()));
    PutU32(&out, uint32_t(created));
    PutU32(&out, uint32_t(created >> 32));
    PutRecords(&out, top);
    const uint32_t total = uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
        out[i] = uint8_t(total >> (8 * i));
    return out;
}

SnapshotStatus DecodeSettingsSnapshot(const uint8_t* bytes, uint32_t size, std::vector<SnapshotNode>* top)
{
    top->clear();
    if (bytes == nullptr || size < SnapshotHeaderSize)
        return SnapshotTooShort;
    if (ReadU32(bytes) != size)
        return SnapshotSizeMismatch;
    const uint32_t topCount = ReadU16(bytes + 8);
    if (topCount == 0)
        return SnapshotNoRecords;
    if (ReadU32(bytes + 4) < SnapshotVersion)
        return SnapshotOldVersion;
    SnapshotReader reader = {bytes, size, SnapshotHeaderSize};
    SnapshotStatus status = ReadRecords(&reader, topCount, 1, top);
    if (status != SnapshotGood)
        top->clear();
    return status;
}
