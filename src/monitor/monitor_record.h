// One open monitor window: its link in the monitor list, its two threads,
// its names, the options taken from its settings and the diagram it shows.
// Allocated zero-filled together with its two names by the code that opens
// monitors; filled by ApplyMonitorSettings and by the window itself.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/text16.h"
#include "monitor/diagram_model.h"

struct RateSample;
struct MonitorSettings;

struct MonitorRecord {
    MonitorRecord* next;
    HANDLE uiThread;
    HANDLE dataThread;
    HANDLE stopEvent;
    Char16* interfaceName;  // both names live behind the record
    Char16* interfaceId;
    HWND window;
    bool hiddenByAgent;
    HWND tooltip;
    WNDPROC tooltipControl;  // the tooltip's own procedure, behind the guard
    int tooltipCalls;        // our calls into the tooltip under way
    RECT windowRect;
    RECT clampedRect;
    uint32_t transparentLevel;
    uint64_t connectionTime;  // 100-ns ticks, with each sample
    bool onTop, titleHidden, toggleTitle;
    bool bytesPerSecond, showMaxSpeed, showCurPeak, showMaxPeak;
    bool hideWhenDisconnected, popupWhenConnected;
    bool dragging, regionActive;
    bool equalScale, transparentForMouse, bold, noHardwareHeaders, connectionTimeText;
    COLORREF connectionTimeColor, connectionTimeBackground;
    int32_t grabX, grabY;
    uint32_t connectionCount;  // 0: not connected

    // The diagram: the model, and the GDI objects that show it.
    MonitorDiagram diagram;
    HBITMAP image;  // a DIB section; diagram.pixels points into it
    // Holds the image selected for the paints of every second, which would
    // otherwise each make and delete a DC.
    HDC imageDc;
    HGDIOBJ imageDcBitmap;  // what imageDc held before the image
    HPEN arrowPen;
    HFONT timeArrowFont;  // the window's one text font

    POINT menuPoint;

    // What the agent's own threads hand the window while they send to it:
    // the window takes a message's lParam only when it is one of these, as
    // any program on the desktop can send the same message numbers.
    const RateSample* volatile publishedSample;
    const MonitorSettings* volatile publishedSettings;
};
