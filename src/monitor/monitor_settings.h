// The stored settings of one monitor window and the rules that hold for
// them wherever they come from: defaults, value names, rectangle checks and
// the byte images of the binary values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

enum MonitorFlag {
    HideWindowTitle,
    ShowWindowOnTop,
    ShowMaxSpeedText,
    ShowCurPeakText,
    ShowMaxPeakText,
    EnableHorizontalLines,
    EnableVerticalLines,
    EnableTimeArrow,
    EnableConnectionTimeText,
    DontConsiderHardwareHeaders,
    EnableBoldTextsOnWindow,
    MakeWindowTrasparentForMouse,
    MakeSendReceiveScaleEqual,
    PopupWhenConnected,
    HideWhenDisconnected,
    EnableBytesPerSecond,
    MonitorFlagCount
};

enum MonitorColor {
    ReceiveBackground,
    ReceiveHorizontalLine,
    ReceiveVerticalLine,
    ReceiveBarStart,
    ReceiveBarEnd,
    ReceiveBarMiddle,
    SendBackground,
    SendHorizontalLine,
    SendVerticalLine,
    SendBarStart,
    SendBarEnd,
    SendBarMiddle,
    TimeArrow,
    TimeArrowFont,
    SendPeaksText,
    SendMaxSpeedText,
    ReceivePeaksText,
    ReceiveMaxSpeedText,
    ReceiveNotActiveText,
    SendNotActiveText,
    ConnectionTimeText,
    ConnectionTimeTextBackground,
    MonitorColorCount
};

struct MonitorSettings {
    uint32_t ownerWord;
    Text16 interfaceName;  // not stored
    Text16 interfaceId;    // the subkey's "Name"
    MonitorSettings* next;
    uint32_t transparentLevel;  // percent
    uint32_t refreshRate;       // milliseconds
    uint32_t flags[MonitorFlagCount];
    uint32_t colors[MonitorColorCount];  // COLORREF 0x00BBGGRR
    uint32_t positionWord;
    int32_t left, top, right, bottom;
};

extern const Char16* const MonitorFlagNames[MonitorFlagCount];
extern const uint32_t DefaultCustomColors[16];

const uint32_t ColorsValueSize = 4 * MonitorColorCount;  // 88
const uint32_t PositionValueSize = 20;
const uint32_t CustomColorsValueSize = 64;
const uint32_t MaxTransparentLevel = 100;
const uint32_t MinRefreshRate = 100, MaxRefreshRate = 1000;

// What a stored level means where the window applies it. The store keeps
// what the user stored (the store has no range checks); the window uses the
// level clamped to the page's range, so that a level above 100 cannot make
// it unusable. (The refresh rate needs no such step: the window samples
// once a second whatever its value, and the Monitors page limits
// what it shows to 100..1000 ms.)
inline uint32_t AppliedTransparentLevel(uint32_t stored)
{
    return stored > MaxTransparentLevel ? MaxTransparentLevel : stored;
}

// Everything but the names and the chain link.
void SetMonitorDefaults(MonitorSettings* settings);

// Orders the rectangle and keeps it reachable on a screen of the given size.
void CheckMonitorRectangle(MonitorSettings* settings, int32_t screenWidth, int32_t screenHeight);

// "%04d" for 0..9999; false beyond.
bool MonitorSubkeyName(int number, Char16 name[5]);

// One step of the search for a monitor's subkey: `visit` enumerates the
// subkey at `index` and tells whether it is the one sought. Any failure of
// the enumeration ends the walk, not only "no more items": a key deleted
// under the walk fails at every index.
enum SubkeyVisit { SubkeyMatches, SubkeyDiffers, SubkeyWalkEnds };
typedef SubkeyVisit (*SubkeyVisitor)(uint32_t index, void* context);
// True when a visit matched.
bool FindSubkeyByVisits(SubkeyVisitor visit, void* context);

// Byte images of "Colors" and "SizePositionWindow", little-endian.
void PackColors(const MonitorSettings& settings, uint8_t out[ColorsValueSize]);
void UnpackColors(const uint8_t in[ColorsValueSize], MonitorSettings* settings);
void PackPosition(const MonitorSettings& settings, uint8_t out[PositionValueSize]);
void UnpackPosition(const uint8_t in[PositionValueSize], MonitorSettings* settings);
