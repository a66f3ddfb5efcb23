#include "request_handlers_bind.h"

#include <map>

#include "../common/wire.h"
#include "service_objects.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

constexpr size_t LogLimit = 64;
constexpr uint32_t HeaderSize = 12;

std::vector<std::string> Received;
std::map<uint32_t, uint32_t> Delays;

void Log(const std::string& entry)
{
    if (Received.size() >= LogLimit)
        Received.erase(Received.begin());
    Received.push_back(entry);
}

bool DecodeName(const uint8_t* input, uint32_t size, std::wstring& name)
{
    return DecodeQueryName(input, size, HeaderSize, 4, name);
}

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t at = 0; at < a.size(); ++at)
        if (FoldAscii(a[at]) != FoldAscii(b[at]))
            return false;
    return true;
}

}  // namespace

bool DecodeQueryName(const uint8_t* input, uint32_t size, uint32_t headerSize, uint32_t nameBytesAt, std::wstring& name)
{
    if (input == nullptr || size < headerSize + 2)
        return false;
    uint32_t nameBytes = wire::Get32(input + nameBytesAt);
    if (nameBytes != size - headerSize || nameBytes % 2 != 0)
        return false;
    name.clear();
    for (uint32_t at = 0; at + 1 < nameBytes; at += 2) {
        wchar_t c = static_cast<wchar_t>(input[headerSize + at] | input[headerSize + at + 1] << 8);
        if (c == 0)
            return at + 2 == nameBytes;
        name.push_back(c);
    }
    return false;
}

SimInterface* FindInterfaceByName(const std::wstring& name)
{
    for (SimInterface& item : Sim.interfaces)
        if (SameName(item.name, name))
            return &item;
    return nullptr;
}

uint32_t AnswerBindMiniport(const RequestInput& input, std::vector<uint8_t>&)
{
    std::wstring name;
    if (!DecodeName(input.bytes, input.size, name))
        return StatusFailure;
    uint32_t bind = wire::Get32(input.bytes);
    SimInterface* item = FindInterfaceByName(name);
    if (item == nullptr || bind > 1 || !(item->flags & IfSupported) || (item->flags & IfNotPresent))
        return StatusFailure;
    if (bind)
        item->flags |= IfBound | IfBindingActive;
    else
        item->flags &= ~(IfBound | IfBindingActive);
    SignalNetConfChanged();
    return StatusSuccess;
}

void NoteBindRequest(const uint8_t* input, uint32_t size)
{
    std::wstring name;
    if (!DecodeName(input, size, name)) {
        Log("size:" + std::to_string(size));
        return;
    }
    Log(std::to_string(wire::Get32(input)) + " " + std::to_string(wire::Get32(input + 8)) + " " + WideToUtf8(name));
}

std::string BindSubjectKey(const uint8_t* input, uint32_t size)
{
    std::wstring name;
    if (!DecodeName(input, size, name))
        return std::string();
    SimInterface* item = FindInterfaceByName(name);
    return item != nullptr ? item->key : std::string();
}

bool BindRequestsCommand(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() >= 2 && words[1] == "reset") {
        Received.clear();
        out = "ok";
        return true;
    }
    out.clear();
    for (const std::string& entry : Received)
        out += (out.empty() ? "" : "\n") + entry;
    return true;
}

bool RequestDelayCommand(const std::vector<std::string>& words, std::string& out)
{
    uint32_t code = 0, ms = 0;
    if (words.size() != 3 || !ParseU32(words[1], code) || !ParseU32(words[2], ms) || ms > 60000) {
        out = "usage: request-delay <code> <ms up to 60000>";
        return false;
    }
    Delays[code] = ms;
    out = "ok";
    return true;
}

uint32_t RequestDelayOf(uint32_t code)
{
    auto found = Delays.find(code);
    return found == Delays.end() ? 0 : found->second;
}
