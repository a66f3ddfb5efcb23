#include "monitor/monitor_settings.h"

#include "core/wire_read.h"

const Char16* const MonitorFlagNames[MonitorFlagCount] = {
    TEXT16("HideWindowTitle"),           TEXT16("ShowWindowOnTop"),
    TEXT16("ShowMaxSpeedText"),          TEXT16("ShowCurPeakText"),
    TEXT16("ShowMaxPeakText"),           TEXT16("EnableHorizontalLines"),
    TEXT16("EnableVerticalLines"),       TEXT16("EnableTimeArrow"),
    TEXT16("EnableConnectionTimeText"),  TEXT16("DontConsiderHardwareHeaders"),
    TEXT16("EnableBoldTextsOnWindow"),   TEXT16("MakeWindowTrasparentForMouse"),
    TEXT16("MakeSendReceiveScaleEqual"), TEXT16("PopupWhenConnected"),
    TEXT16("HideWhenDisconnected"),      TEXT16("EnableBytesPerSecond"),
};

static const uint32_t DefaultFlags[MonitorFlagCount] = {0, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1};

static constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | g << 8 | b << 16;
}

static const uint32_t DefaultColors[MonitorColorCount] = {
    Rgb(0, 0, 0),       Rgb(0, 0, 106),     Rgb(0, 0, 106),     Rgb(0, 185, 0),     Rgb(255, 70, 70),
    Rgb(223, 219, 45),  Rgb(0, 0, 0),       Rgb(0, 0, 106),     Rgb(0, 0, 106),     Rgb(4, 187, 28),
    Rgb(255, 70, 70),   Rgb(223, 219, 45),  Rgb(0, 0, 0),       Rgb(0, 0, 0),       Rgb(255, 255, 255),
    Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255),
    Rgb(0, 0, 0),       Rgb(255, 255, 255),
};

const uint32_t DefaultCustomColors[16] = {
    0x000000, 0x808080, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080,
    0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF,
};

void SetMonitorDefaults(MonitorSettings* settings)
{
    settings->transparentLevel = 0;
    settings->refreshRate = 1000;
    for (int i = 0; i < MonitorFlagCount; ++i)
        settings->flags[i] = DefaultFlags[i];
    for (int i = 0; i < MonitorColorCount; ++i)
        settings->colors[i] = DefaultColors[i];
    settings->positionWord = 1;
    settings->left = 0;
    settings->top = 0;
    settings->right = 200;
    settings->bottom = 128;
}

// One axis of the rectangle check; `low`/`high` are left/right or top/bottom.
static void CheckSpan(int32_t* low, int32_t* high, int32_t screen, int32_t minimum)
{
    if (*low > *high) {
        int32_t t = *low;
        *low = *high;
        *high = t;
    }
    // 64-bit arithmetic: a stored rectangle may hold any 32-bit values.
    int64_t size = int64_t(*high) - *low;
    if (*low < 0 && size < 10)
        *low = 0;
    else if (*low > screen)
        *low = screen - 10;
    size = int64_t(*high) - *low;
    if (size < minimum)
        *high = *low + minimum;
    else if (size > screen)
        *high = *low + screen - 10;
}

void CheckMonitorRectangle(MonitorSettings* settings, int32_t screenWidth, int32_t screenHeight)
{
    CheckSpan(&settings->left, &settings->right, screenWidth, 64);
    CheckSpan(&settings->top, &settings->bottom, screenHeight, 48);
}

bool FindSubkeyByVisits(SubkeyVisitor visit, void* context)
{
    for (uint32_t index = 0;; ++index) {
        SubkeyVisit seen = visit(index, context);
        if (seen != SubkeyDiffers)
            return seen == SubkeyMatches;
    }
}

bool MonitorSubkeyName(int number, Char16 name[5])
{
    if (number < 0 || number > 9999)
        return false;
    for (int i = 3; i >= 0; --i) {
        name[i] = Char16('0' + number % 10);
        number /= 10;
    }
    name[4] = 0;
    return true;
}

static void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void PackColors(const MonitorSettings& settings, uint8_t out[ColorsValueSize])
{
    for (int i = 0; i < MonitorColorCount; ++i)
        PutU32(out + 4 * i, settings.colors[i]);
}

void UnpackColors(const uint8_t in[ColorsValueSize], MonitorSettings* settings)
{
    for (int i = 0; i < MonitorColorCount; ++i)
        settings->colors[i] = ReadU32(in + 4 * i);
}

void PackPosition(const MonitorSettings& settings, uint8_t out[PositionValueSize])
{
    PutU32(out, settings.positionWord);
    PutU32(out + 4, uint32_t(settings.left));
    PutU32(out + 8, uint32_t(settings.top));
    PutU32(out + 12, uint32_t(settings.right));
    PutU32(out + 16, uint32_t(settings.bottom));
}

void UnpackPosition(const uint8_t in[PositionValueSize], MonitorSettings* settings)
{
    settings->positionWord = ReadU32(in);
    settings->left = int32_t(ReadU32(in + 4));
    settings->top = int32_t(ReadU32(in + 8));
    settings->right = int32_t(ReadU32(in + 12));
    settings->bottom = int32_t(ReadU32(in + 16));
}
