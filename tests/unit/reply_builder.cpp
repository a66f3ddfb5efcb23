#include "reply_builder.h"

void Put(std::vector<uint8_t>* b, std::initializer_list<std::pair<uint64_t, int>> fields)
{
    for (const auto& f : fields)
        for (int i = 0; i < f.second; ++i)
            b->push_back(uint8_t(f.first >> (8 * i)));
}

void PutText(std::vector<uint8_t>* b, const std::u16string& text)
{
    for (size_t i = 0; i <= text.size(); ++i)
        Put(b, {{text.c_str()[i], 2}});
}

std::vector<uint8_t> BuildInterfaceList(const std::vector<RecordSpec>& records)
{
    std::vector<uint8_t> reply;
    Put(&reply, {{0x00010000, 4}, {records.size(), 4}});
    for (const RecordSpec& r : records) {
        std::vector<uint8_t> name, id;
        if (!r.name.empty())
            PutText(&name, r.name);
        if (!r.id.empty())
            PutText(&id, r.id);
        Put(&reply,
            {{24 + name.size() + r.part2.size() + r.part3.size() + id.size(), 4},
             {r.flags, 4},
             {r.nameSize >= 0 ? uint64_t(r.nameSize) : name.size(), 4},
             {r.part2.size(), 4},
             {r.part3.size(), 4},
             {id.size(), 4}});
        for (const auto& part : {name, r.part2, r.part3, id})
            reply.insert(reply.end(), part.begin(), part.end());
    }
    return reply;
}

std::vector<uint8_t> BuildConnectionReply(const std::vector<GroupSpec>& groups, bool withCounters,
                                          uint32_t connectionTotal, uint8_t hasAggregate)
{
    std::vector<uint8_t> b;
    auto size = [](const std::u16string& name, bool zero) { return zero ? 0 : 2 * name.size() + 2; };
    auto tail = [&](const std::u16string& name, bool zero, uint64_t base) {
        if (!zero)
            PutText(&b, name);
        for (uint64_t i = 0; withCounters && i < 22; ++i)
            Put(&b, {{base + i, 8}});
    };
    Put(&b, {{withCounters, 4}, {connectionTotal, 4}, {groups.size(), 4}, {hasAggregate, 1}});
    for (const GroupSpec& g : groups) {
        // RecordSize (never followed), the opaque parts' sizes, the name's,
        // the ids; then summary time, connected, status unknown, link speed
        // and the rates; the connection count, removal flag and time; the
        // opaque parts.
        Put(&b, {{0xDEADBEEF, 4}, {3, 4}, {5, 4}, {size(g.name, g.nameSizeZero), 4}, {g.idA, 4}, {g.idB, 4}, {0, 8}});
        Put(&b, {{0, 8}, {1, 2}, {0, 8}, {0, 4}, {g.connections.size(), 4}, {0, 1}, {0, 8}, {~0ull, 8}});
        tail(g.name, g.nameSizeZero, g.counterBase);
        for (const ConnectionSpec& c : g.connections) {
            Put(&b, {{0, 8}, {c.id, 4}, {0, 8}, {0, 8}, {1, 2}, {0, 8}, {0, 4}, {0, 1}, {0, 8}});
            Put(&b, {{size(c.name, c.nameSizeZero), 4}});
            tail(c.name, c.nameSizeZero, c.counterBase);
        }
    }
    return b;
}
