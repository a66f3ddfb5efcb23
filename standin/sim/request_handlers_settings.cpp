#include "request_handlers_settings.h"

#include "../common/wire.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

constexpr size_t LogLimit = 64;

struct DataSettings {
    std::wstring folder = L"C:\\Program Files\\Merovax\\ZorvanHService\\Data\\";
    uint32_t holdSeconds = 30;
    uint8_t cumulative = 0;
};

DataSettings Settings;
std::vector<std::string> Received;

void Log(const std::string& entry)
{
    if (Received.size() >= LogLimit)
        Received.erase(Received.begin());
    Received.push_back(entry);
}

}  // namespace

uint32_t AnswerDataFilesSettings(const RequestInput& input, std::vector<uint8_t>& reply)
{
    if (input.size != 0)
        return StatusFailure;
    uint32_t pathBytes = static_cast<uint32_t>((Settings.folder.size() + 1) * 2);
    wire::Append32(reply, pathBytes);
    wire::Append32(reply, Settings.holdSeconds);
    reply.push_back(Settings.cumulative);
    for (wchar_t c : Settings.folder) {
        reply.push_back(static_cast<uint8_t>(c));
        reply.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) >> 8));
    }
    reply.push_back(0);
    reply.push_back(0);
    return StatusSuccess;
}

uint32_t AnswerDisconnectedOptions(const RequestInput& input, std::vector<uint8_t>&)
{
    if (input.size != 5) {
        Log("size:" + std::to_string(input.size));
        return StatusFailure;
    }
    uint32_t hold = wire::Get32(input.bytes);
    uint8_t cumulative = input.bytes[4];
    Log(std::to_string(hold) + "," + std::to_string(cumulative));
    // The service keeps what it is told, so the agent's next read shows it.
    Settings.holdSeconds = hold;
    Settings.cumulative = cumulative;
    return StatusSuccess;
}

bool DataSettingsCommand(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() < 2) {
        out = "folder=" + WideToUtf8(Settings.folder) + " hold=" + std::to_string(Settings.holdSeconds) +
            " cumulative=" + std::to_string(Settings.cumulative);
        return true;
    }
    DataSettings next = Settings;
    for (size_t at = 1; at < words.size(); ++at) {
        std::string key, value;
        uint32_t number = 0;
        bool known = SplitOption(words[at], key, value);
        if (known && key == "folder")
            next.folder = Utf8ToWide(value);
        else if (known && key == "hold" && ParseU32(value, number))
            next.holdSeconds = number;
        else if (known && key == "cumulative" && ParseU32(value, number) && number <= 0xFF)
            next.cumulative = static_cast<uint8_t>(number);
        else
            known = false;
        if (!known) {
            out = "bad option '" + words[at] + "'";
            return false;
        }
    }
    Settings = next;
    out = "ok";
    return true;
}

bool DisconnectedRequestsCommand(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() >= 2 && words[1] == "reset") {
        Received.clear();
        out = "ok";
        return true;
    }
    out.clear();
    for (const std::string& entry : Received)
        out += (out.empty() ? "" : " ") + entry;
    return true;
}
