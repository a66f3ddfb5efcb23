// Builds service replies byte by byte, the way the service lays them out,
// including the broken shapes a faulty service could send, so the tests and
// the benchmarks can speak of records instead of bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Little-endian fields, each with its width in bytes.
void Put(std::vector<uint8_t>* bytes, std::initializer_list<std::pair<uint64_t, int>> fields);
void PutText(std::vector<uint8_t>* bytes, const std::u16string& text);  // with its NUL

// Interface list records (request 1).
struct RecordSpec {
    uint32_t flags = 0;
    // The name is written with its NUL; a nameSize of -1 gives its own size.
    std::u16string name, id;
    std::vector<uint8_t> part2, part3;
    int64_t nameSize = -1;
};

std::vector<uint8_t> BuildInterfaceList(const std::vector<RecordSpec>& records, int64_t count = -1);

// Connection lists (request 4): groups and their connections.
struct ConnectionSpec {
    uint32_t id = 0;
    std::u16string name;
    uint64_t summaryTime = 0;
    uint8_t connected = 1, statusUnknown = 0, removalPending = 0;
    uint32_t linkSpeed = 0, receiveRate = 0, sendRate = 0;
    uint64_t removalTime = 0;
    uint64_t counterBase = 0;  // counter i holds counterBase + i
    bool nameSizeZero = false;
};

struct GroupSpec {
    uint32_t idA = 0, idB = 0;
    std::u16string name;
    std::vector<uint8_t> opaqueA, opaqueB;
    ConnectionSpec values;  // the group's own values (id unused)
    std::vector<ConnectionSpec> connections;
    bool nameSizeZero = false;
};

std::vector<uint8_t> BuildConnectionReply(const std::vector<GroupSpec>& groups, bool withCounters = true,
                                          uint32_t connectionTotal = 0, uint8_t hasAggregate = 0);
