// Builds service replies byte by byte, the way the service lays them out,
// including the broken shapes a faulty service could send, so the tests and
// the benchmarks can speak of records instead of bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Little-endian fields, each with its width in bytes (at most 8).
void Put(std::vector<uint8_t>* bytes, std::initializer_list<std::pair<uint64_t, int>> fields);
void PutText(std::vector<uint8_t>* bytes, const std::u16string& text);  // with its NUL

// Interface list records (request 1). The name is written with its NUL; a
// nameSize of -1 gives its own size.
struct RecordSpec {
    uint32_t flags = 0;
    std::u16string name, id;
    std::vector<uint8_t> part2, part3;
    int64_t nameSize = -1;
};

std::vector<uint8_t> BuildInterfaceList(const std::vector<RecordSpec>& records);

// Connection lists (request 4): connected groups and connections, with zero
// values but for the counters: counter i holds counterBase + i. Each group
// carries opaque parts of 3 and 5 bytes for the walk to step over.
struct ConnectionSpec {
    uint32_t id = 0;
    std::u16string name;
    uint64_t counterBase = 0;
    bool nameSizeZero = false;
};

struct GroupSpec {
    uint32_t idA = 0, idB = 0;
    std::u16string name;
    uint64_t counterBase = 0;
    std::vector<ConnectionSpec> connections;
    bool nameSizeZero = false;
};

std::vector<uint8_t> BuildConnectionReply(const std::vector<GroupSpec>& groups, bool withCounters = true,
                                          uint32_t connectionTotal = 0, uint8_t hasAggregate = 0);
