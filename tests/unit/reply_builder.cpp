#include "reply_builder.h"

void AppendU32(std::vector<uint8_t>* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes->push_back(uint8_t(value >> (8 * i)));
}

void AppendText(std::vector<uint8_t>* bytes, const std::u16string& text)
{
    for (char16_t c : text) {
        bytes->push_back(uint8_t(c));
        bytes->push_back(uint8_t(c >> 8));
    }
    bytes->push_back(0);
    bytes->push_back(0);
}

std::vector<uint8_t> BuildInterfaceList(const std::vector<RecordSpec>& records, int64_t count)
{
    std::vector<uint8_t> reply;
    AppendU32(&reply, 0x00010000);
    AppendU32(&reply, count >= 0 ? uint32_t(count) : uint32_t(records.size()));
    for (const RecordSpec& r : records) {
        std::vector<uint8_t> name, id;
        if (!r.name.empty())
            AppendText(&name, r.name);
        if (!r.id.empty())
            AppendText(&id, r.id);
        std::vector<uint8_t> body = name;
        body.insert(body.end(), r.part2.begin(), r.part2.end());
        body.insert(body.end(), r.part3.begin(), r.part3.end());
        body.insert(body.end(), id.begin(), id.end());
        uint32_t size = uint32_t(24 + body.size());
        AppendU32(&reply, r.recordSize >= 0 ? uint32_t(r.recordSize) : size);
        AppendU32(&reply, r.flags);
        AppendU32(&reply, r.nameSize >= 0 ? uint32_t(r.nameSize) : uint32_t(name.size()));
        AppendU32(&reply, uint32_t(r.part2.size()));
        AppendU32(&reply, uint32_t(r.part3.size()));
        AppendU32(&reply, r.idSize >= 0 ? uint32_t(r.idSize) : uint32_t(id.size()));
        reply.insert(reply.end(), body.begin(), body.end());
    }
    return reply;
}
