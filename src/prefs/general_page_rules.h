// What the General page decides without asking the system: the reply of the
// service's data-files settings, the input that tells it how to treat
// disconnected connections, and the hold label and slider that show it.
#pragma once

#include <cstdint>

#include "core/service_status.h"
#include "core/text16.h"

// How the service treats the statistics of disconnected connections.
struct DisconnectedOptions {
    uint32_t HoldSeconds;          // 0..99, 100 for ever; the service may hold more
    uint8_t CumulativeStatistics;  // 0 or 1
};

const uint32_t DataFilesSettingsFixedSize = 9;
const uint32_t DisconnectedOptionsInputSize = 5;
const uint32_t HoldForever = 100;

enum DataFilesDecode {
    DataFilesDecoded,
    DataFilesTooShort,     // not even the fixed part: nothing taken
    DataFilesPathPastEnd,  // the options were taken, the path was not
};

// Request 9. The options are taken as soon as the fixed part is there, so a
// reply whose path overruns still updates them. The folder stops at the
// first NUL inside PathBytes.
DataFilesDecode DecodeDataFilesSettings(const uint8_t* reply, uint32_t size, DisconnectedOptions* options,
                                        Text16* folder);

// The string shown instead of the folder when request 9 fails with `status`
// (a success with an unusable reply counts as a wrong version).
unsigned FolderMessageStringId(ServiceStatus status);

// Request 14.
void BuildDisconnectedOptionsInput(const DisconnectedOptions& options, uint8_t input[DisconnectedOptionsInputSize]);

// Request 14 is sent only when the page's pair differs from what the
// service last reported.
bool DisconnectedOptionsNeedSending(const DisconnectedOptions& pending, const DisconnectedOptions& last);

// A hold time beyond the slider's range shows as "Infinite".
int HoldSliderPosition(uint32_t holdSeconds);

// String 102 (with the seconds) below the end of the range, 125 at it.
unsigned HoldLabelStringId(int position);
