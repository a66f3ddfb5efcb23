// Builds request-4 replies the way the service lays them out, so the tests
// and the fuzz seeds can speak of groups and connections instead of bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
