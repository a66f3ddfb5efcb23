#include "interface_options.h"

#include <cstdio>

#include "text_util.h"

namespace {

struct FlagName {
    uint32_t bit;
    const char* name;
};

const FlagName FlagNames[] = {
    {IfSupported, "supported"},    {IfConnected, "connected"},          {IfBound, "bound"},
    {IfNotPresent, "not-present"}, {IfBindingActive, "binding-active"},
};

bool ParseFlags(const std::string& value, uint32_t& flags)
{
    if (ParseU32(value, flags))
        return true;
    uint32_t result = 0;
    for (const std::string& part : SplitList(value, ',')) {
        if (part == "none")
            continue;
        bool found = false;
        for (const FlagName& entry : FlagNames)
            if (part == entry.name) {
                result |= entry.bit;
                found = true;
            }
        if (!found)
            return false;
    }
    flags = result;
    return true;
}

bool ParseRates(const std::string& value, std::vector<uint64_t>& rates)
{
    std::vector<uint64_t> parsed;
    for (const std::string& part : SplitList(value, ',')) {
        uint64_t rate = 0;
        if (!ParseU64(part, rate))
            return false;
        parsed.push_back(rate);
    }
    rates.swap(parsed);
    return true;
}

void AppendWideBytes(std::vector<uint8_t>& out, const std::wstring& text)
{
    for (wchar_t c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

// "empty", "hex:0a0b..", "text:words" or plain words (UTF-16 with NUL).
bool ParsePart(const std::string& value, std::vector<uint8_t>& part)
{
    std::vector<uint8_t> bytes;
    if (value == "empty") {
    } else if (value.rfind("hex:", 0) == 0) {
        std::string digits = value.substr(4);
        if (digits.size() % 2 != 0)
            return false;
        for (size_t at = 0; at < digits.size(); at += 2) {
            uint32_t byte = 0;
            if (!ParseU32("0x" + digits.substr(at, 2), byte))
                return false;
            bytes.push_back(static_cast<uint8_t>(byte));
        }
    } else {
        AppendWideBytes(bytes, Utf8ToWide(value.rfind("text:", 0) == 0 ? value.substr(5) : value));
    }
    part.swap(bytes);
    return true;
}

bool ParseBit(const std::string& value, uint32_t bit, uint32_t& flags)
{
    if (value != "0" && value != "1")
        return false;
    flags = value == "1" ? (flags | bit) : (flags & ~bit);
    return true;
}

std::string FlagsText(uint32_t flags)
{
    std::string text;
    for (const FlagName& entry : FlagNames)
        if (flags & entry.bit)
            text += (text.empty() ? "" : ",") + std::string(entry.name);
    return text.empty() ? "none" : text;
}

}  // namespace

void SetInterfaceDefaults(SimInterface& item, size_t index)
{
    char id[64];
    snprintf(id, sizeof id, "{5A0C%04X-3E11-4D2B-9C6A-0000000000%02X}", static_cast<unsigned>(index + 1),
             static_cast<unsigned>(index & 0xFF));
    item.name = Utf8ToWide(item.key);
    item.id = Utf8ToWide(id);
    item.flags = IfSupported;
    item.linkSpeed = 1000000;  // 100 Mbit/s
    item.part2 = {0x00, 0x0C, 0x29, 0x4E, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
    item.part3.clear();
    AppendWideBytes(item.part3, L"\\DEVICE\\" + item.id);
}

bool ApplyInterfaceOption(SimInterface& item, const std::string& key, const std::string& value, std::string& error)
{
    bool good = true;
    if (key == "name")
        item.name = Utf8ToWide(value);
    else if (key == "id")
        item.id = Utf8ToWide(value);
    else if (key == "flags")
        good = ParseFlags(value, item.flags);
    else if (key == "supported")
        good = ParseBit(value, IfSupported, item.flags);
    else if (key == "connected")
        good = ParseBit(value, IfConnected, item.flags);
    else if (key == "bound")
        good = ParseBit(value, IfBound, item.flags);
    else if (key == "not-present")
        good = ParseBit(value, IfNotPresent, item.flags);
    else if (key == "binding-active")
        good = ParseBit(value, IfBindingActive, item.flags);
    else if (key == "speed")
        good = ParseU64(value, item.linkSpeed);
    else if (key == "rx-rate")
        good = ParseRates(value, item.rxRates);
    else if (key == "tx-rate")
        good = ParseRates(value, item.txRates);
    else if (key == "rx-bytes")
        good = ParseU64(value, item.rxBytes);
    else if (key == "tx-bytes")
        good = ParseU64(value, item.txBytes);
    else if (key == "rx-packets")
        good = ParseU64(value, item.rxPackets);
    else if (key == "tx-packets")
        good = ParseU64(value, item.txPackets);
    else if (key == "connected-seconds")
        good = ParseU64(value, item.connectedSeconds);
    else if (key == "connections")
        good = ParseU32(value, item.connectionCount);
    else if (key == "part2")
        good = ParsePart(value, item.part2);
    else if (key == "part3")
        good = ParsePart(value, item.part3);
    else if (key == "pad")
        good = ParseU32(value, item.pad) && item.pad <= 4096;
    else {
        error = "unknown interface option '" + key + "'";
        return false;
    }
    if (!good)
        error = "bad value for " + key + ": '" + value + "'";
    return good;
}

bool ApplyInterfaceOptions(SimInterface& item, const std::vector<std::string>& words, size_t from, std::string& error)
{
    for (size_t at = from; at < words.size(); ++at) {
        std::string key, value;
        if (!SplitOption(words[at], key, value)) {
            error = "expected option=value, got '" + words[at] + "'";
            return false;
        }
        if (!ApplyInterfaceOption(item, key, value, error))
            return false;
    }
    return true;
}

std::string DescribeInterface(const SimInterface& item)
{
    std::string text = item.key + " name=\"" + WideToUtf8(item.name) + "\" id=" + WideToUtf8(item.id) +
        " flags=" + FlagsText(item.flags) + " speed=" + std::to_string(item.linkSpeed) +
        " rx-bytes=" + std::to_string(item.rxBytes) + " tx-bytes=" + std::to_string(item.txBytes) +
        " rx-packets=" + std::to_string(item.rxPackets) + " tx-packets=" + std::to_string(item.txPackets) +
        " rx=" + std::to_string(item.currentRx) + " tx=" + std::to_string(item.currentTx) +
        " connected-seconds=" + std::to_string(item.connectedSeconds) + " part2=" + std::to_string(item.part2.size()) +
        "B part3=" + std::to_string(item.part3.size()) + "B";
    return text;
}
