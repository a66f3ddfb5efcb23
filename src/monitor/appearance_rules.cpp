#include "monitor/appearance_rules.h"

uint32_t PixelFromColor(uint32_t color)
{
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

static void TakeHalf(const MonitorSettings& s, int firstSlot, DiagramHalf* half)
{
    // Within each group of six the end colour comes before the middle one.
    half->background = PixelFromColor(s.colors[firstSlot]);
    half->horizontalLineColor = PixelFromColor(s.colors[firstSlot + 1]);
    half->verticalLineColor = PixelFromColor(s.colors[firstSlot + 2]);
    half->barStart = PixelFromColor(s.colors[firstSlot + 3]);
    half->barEnd = PixelFromColor(s.colors[firstSlot + 4]);
    half->barMiddle = PixelFromColor(s.colors[firstSlot + 5]);
    half->horizontalLines = s.flags[EnableHorizontalLines] != 0;
    half->verticalLines = s.flags[EnableVerticalLines] != 0;
}

void TakeDiagramSettings(const MonitorSettings& s, MonitorDiagram* d)
{
    d->capacity = HistoryCapacity;
    TakeHalf(s, ReceiveBackground, &d->receive);
    TakeHalf(s, SendBackground, &d->send);
    d->timeArrowColor = s.colors[TimeArrow];
    d->timeArrowFontColor = s.colors[TimeArrowFont];
    d->send.peaksTextColor = s.colors[SendPeaksText];
    d->send.maxSpeedTextColor = s.colors[SendMaxSpeedText];
    d->receive.peaksTextColor = s.colors[ReceivePeaksText];
    d->receive.maxSpeedTextColor = s.colors[ReceiveMaxSpeedText];
    d->receive.notActiveTextColor = s.colors[ReceiveNotActiveText];
    d->send.notActiveTextColor = s.colors[SendNotActiveText];
    d->timeArrow = s.flags[EnableTimeArrow] != 0;
}

uint8_t LayeredAlpha(uint32_t transparentLevel)
{
    double alpha = (100.0 - double(AppliedTransparentLevel(transparentLevel))) * 2.55;
    if (alpha > 255)
        alpha = 255;
    if (alpha < 12.5)
        alpha = 12.5;
    return uint8_t(alpha);
}

CaptionChange DecideCaption(bool* toggleTitle, bool* titleHidden, bool storedHidden)
{
    if (*toggleTitle) {
        *toggleTitle = false;
        *titleHidden = !*titleHidden;
        return *titleHidden ? CaptionRemoved : CaptionAdded;
    }
    if (storedHidden == *titleHidden)
        return CaptionKept;
    *titleHidden = storedHidden;
    return storedHidden ? CaptionRemoved : CaptionAdded;
}
