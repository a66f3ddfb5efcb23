#include "prefs/general_page_rules.h"

#include "core/wire_read.h"
#include "resources/resource_ids.h"

DataFilesDecode DecodeDataFilesSettings(const uint8_t* reply, uint32_t size, DisconnectedOptions* options,
                                        Text16* folder)
{
    folder->clear();
    if (reply == nullptr || size < DataFilesSettingsFixedSize)
        return DataFilesTooShort;
    uint32_t pathBytes = ReadU32(reply);
    options->HoldSeconds = ReadU32(reply + 4);
    options->CumulativeStatistics = reply[8];
    if (!FitsIn(size, DataFilesSettingsFixedSize, pathBytes))
        return DataFilesPathPastEnd;
    // The path starts at an odd offset, so it is read byte by byte.
    const uint8_t* path = reply + DataFilesSettingsFixedSize;
    for (uint32_t at = 0; at + 1 < pathBytes; at += 2) {
        Char16 c = static_cast<Char16>(path[at] | path[at + 1] << 8);
        if (c == 0)
            break;
        folder->push_back(c);
    }
    return DataFilesDecoded;
}

unsigned FolderMessageStringId(ServiceStatus status)
{
    if (status == StatusNotStarted)
        return IDS_SERVICE_NOT_STARTED;
    if (status == StatusWrongVersion || status == StatusSuccess)
        return IDS_BAD_SERVICE_VERSION;
    return IDS_SERVICE_ERROR;
}

void BuildDisconnectedOptionsInput(const DisconnectedOptions& options, uint8_t input[DisconnectedOptionsInputSize])
{
    for (int at = 0; at < 4; ++at)
        input[at] = static_cast<uint8_t>(options.HoldSeconds >> (8 * at));
    input[4] = options.CumulativeStatistics;
}

bool DisconnectedOptionsNeedSending(const DisconnectedOptions& pending, const DisconnectedOptions& last)
{
    return pending.HoldSeconds != last.HoldSeconds || pending.CumulativeStatistics != last.CumulativeStatistics;
}

int HoldSliderPosition(uint32_t holdSeconds)
{
    return holdSeconds < HoldForever ? static_cast<int>(holdSeconds) : static_cast<int>(HoldForever);
}

unsigned HoldLabelStringId(int position)
{
    return position < static_cast<int>(HoldForever) ? IDS_HOLD_SECONDS : IDS_HOLD_INFINITE;
}
