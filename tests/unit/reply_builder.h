// Builds interface-list replies byte by byte, the way the service lays them
// out, including the broken shapes a faulty service could send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RecordSpec {
    uint32_t flags = 0;
    std::u16string name;  // written with its NUL unless nameSize overrides
    std::vector<uint8_t> part2, part3;
    std::u16string id;
    int64_t nameSize = -1;    // -1: the name's own size
    int64_t recordSize = -1;  // -1: the record's own size
    int64_t idSize = -1;
};

void AppendU32(std::vector<uint8_t>* bytes, uint32_t value);
void AppendText(std::vector<uint8_t>* bytes, const std::u16string& text);  // with its NUL
std::vector<uint8_t> BuildInterfaceList(const std::vector<RecordSpec>& records, int64_t count = -1);
