// The parts of applying a monitor's settings that are plain values: the
// diagram's colours and grid options in pixel form, the layered alpha of a
// transparency level and which way the caption goes.
#pragma once

#include <cstdint>

#include "monitor/diagram_model.h"
#include "monitor/monitor_settings.h"

// COLORREF 0x00BBGGRR to pixel 0x00RRGGBB (and back: the exchange is its
// own inverse).
uint32_t PixelFromColor(uint32_t color);

// Colours and options of both halves, the time arrow and the ring size.
// Colours that go into the image become pixels; text and pen colours stay
// COLORREF. Takes effect with the next layout.
void TakeDiagramSettings(const MonitorSettings& settings, MonitorDiagram* diagram);

// Alpha for a transparency level in percent: a level of 100 still leaves
// the window faintly visible.
uint8_t LayeredAlpha(uint32_t transparentLevel);

enum CaptionChange { CaptionKept, CaptionAdded, CaptionRemoved };

// A double-click asks for a flip (toggleTitle, cleared here) that outlives
// the stored "HideWindowTitle" until that is applied again for another
// reason; otherwise the stored value decides.
CaptionChange DecideCaption(bool* toggleTitle, bool* titleHidden, bool storedHidden);
