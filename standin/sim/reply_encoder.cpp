#include "reply_encoder.h"

#include "../common/wire.h"

namespace {

constexpr uint32_t RecordHeader = 24;

struct RecordPlace {
    size_t start;
    size_t nameStart;
    uint32_t nameSize;
    size_t idStart;
    uint32_t idSize;
};

void AppendWide(std::vector<uint8_t>& out, const std::wstring& text)
{
    if (text.empty())
        return;  // an empty string travels as size 0
    for (wchar_t c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

uint32_t WideSize(const std::wstring& text)
{
    return text.empty() ? 0 : static_cast<uint32_t>((text.size() + 1) * 2);
}

RecordPlace AppendRecord(std::vector<uint8_t>& out, const SimInterface& item)
{
    RecordPlace place{};
    place.start = out.size();
    place.nameSize = WideSize(item.name);
    place.idSize = WideSize(item.id);
    uint32_t body = RecordHeader + place.nameSize + static_cast<uint32_t>(item.part2.size()) +
        static_cast<uint32_t>(item.part3.size()) + place.idSize;
    // Records are aligned to 4 bytes, so RecordSize is not always the sum of
    // the parts and a reader must step by it.
    uint32_t recordSize = ((body + 3) & ~3u) + item.pad;
    wire::Append32(out, recordSize);
    wire::Append32(out, item.flags);
    wire::Append32(out, place.nameSize);
    wire::Append32(out, static_cast<uint32_t>(item.part2.size()));
    wire::Append32(out, static_cast<uint32_t>(item.part3.size()));
    wire::Append32(out, place.idSize);
    place.nameStart = out.size();
    AppendWide(out, item.name);
    out.insert(out.end(), item.part2.begin(), item.part2.end());
    out.insert(out.end(), item.part3.begin(), item.part3.end());
    place.idStart = out.size();
    AppendWide(out, item.id);
    out.resize(place.start + recordSize, 0);
    return place;
}

void Malform(const SimFault& fault, const std::vector<RecordPlace>& places, std::vector<uint8_t>& reply)
{
    if (fault.malformation == Malformation::CountTooLarge) {
        wire::Put32(reply.data() + 4, wire::Get32(reply.data() + 4) + 3);
        return;
    }
    if (places.empty())
        return;
    const RecordPlace& place = places[fault.record < places.size() ? fault.record : places.size() - 1];
    uint8_t* record = reply.data() + place.start;
    size_t rest = reply.size() - place.start;
    switch (fault.malformation) {
    case Malformation::RecordSizeZero:
        wire::Put32(record, 0);
        break;
    case Malformation::RecordSizePastEnd:
        wire::Put32(record, static_cast<uint32_t>(rest + 64));
        break;
    case Malformation::NameSizePastEnd:
        wire::Put32(record + 8, static_cast<uint32_t>(reply.size() - place.nameStart + 32));
        break;
    case Malformation::NameNoNul:
        if (place.nameSize >= 2)
            reply[place.nameStart + place.nameSize - 2] = 'X';
        break;
    case Malformation::IdNoNul:
        if (place.idSize >= 2)
            reply[place.idStart + place.idSize - 2] = 'X';
        break;
    case Malformation::CountTooLarge:
        break;
    }
}

}  // namespace

bool SelectorKeeps(uint32_t selector, uint32_t flags, bool& known)
{
    bool present = (flags & IfNotPresent) == 0;
    bool bound = (flags & IfBound) != 0;
    known = true;
    switch (selector) {
    case 1:
        return true;
    case 8:
        return present && bound;
    case 16:
        return !present;
    case 44:
        return present && bound;
    default:
        known = false;
        return false;
    }
}

bool EncodeInterfaceList(uint32_t selector, const SimFault* malformed, std::vector<uint8_t>& reply)
{
    bool known = false;
    SelectorKeeps(selector, 0, known);
    if (!known)
        return false;
    reply.clear();
    wire::Append32(reply, Sim.firstWord);
    wire::Append32(reply, 0);
    std::vector<RecordPlace> places;
    for (const SimInterface& item : Sim.interfaces)
        if (SelectorKeeps(selector, item.flags, known))
            places.push_back(AppendRecord(reply, item));
    wire::Put32(reply.data() + 4, static_cast<uint32_t>(places.size()));
    if (malformed != nullptr)
        Malform(*malformed, places, reply);
    return true;
}
