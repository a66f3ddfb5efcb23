#include "monitor/monitor_appearance.h"

#include <new>

#include "core/agent_messages.h"
#include "monitor/appearance_rules.h"
#include "monitor/diagram_image.h"
#include "monitor/monitor_list.h"
#include "monitor/monitor_settings_store.h"

namespace {

HFONT CreateMonitorFont(bool bold)
{
    LOGFONTW font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = 11;
    font.lfWeight = bold ? 800 : 100;
    font.lfCharSet = 0;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH;
    return CreateFontIndirectW(&font);
}

// Everything but the window's own state (caption, z order, transparency).
void TakeMonitorSettings(MonitorRecord* r, const MonitorSettings& s)
{
    TakeDiagramSettings(s, &r->diagram);
    r->connectionTimeColor = s.colors[ConnectionTimeText];
    r->connectionTimeBackground = s.colors[ConnectionTimeTextBackground];
    r->bytesPerSecond = s.flags[EnableBytesPerSecond] != 0;
    r->showMaxSpeed = s.flags[ShowMaxSpeedText] != 0;
    r->showCurPeak = s.flags[ShowCurPeakText] != 0;
    r->showMaxPeak = s.flags[ShowMaxPeakText] != 0;
    r->hideWhenDisconnected = s.flags[HideWhenDisconnected] != 0;
    r->popupWhenConnected = s.flags[PopupWhenConnected] != 0;
    r->windowRect.left = s.left;
    r->windowRect.top = s.top;
    r->windowRect.right = s.right;
    r->windowRect.bottom = s.bottom;
    r->equalScale = s.flags[MakeSendReceiveScaleEqual] != 0;
    r->transparentForMouse = s.flags[MakeWindowTrasparentForMouse] != 0;
    r->noHardwareHeaders = s.flags[DontConsiderHardwareHeaders] != 0;
    r->connectionTimeText = s.flags[EnableConnectionTimeText] != 0;
}

void SetLayeredLevel(HWND window, uint32_t level)
{
    LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    if (level != 0) {
        SetWindowLongW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0, LayeredAlpha(level), LWA_ALPHA);
    } else {
        SetWindowLongW(window, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    }
}

void ChangeCaption(HWND window, CaptionChange change)
{
    if (change == CaptionKept)
        return;
    LONG style = GetWindowLongW(window, GWL_STYLE);
    style = change == CaptionAdded ? (style | WS_CAPTION) : (style & ~WS_CAPTION);
    SetWindowLongW(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

}  // namespace

void TakeInitialSettings(MonitorRecord* r, const MonitorSettings& s)
{
    TakeMonitorSettings(r, s);
    r->onTop = s.flags[ShowWindowOnTop] != 0;
    r->titleHidden = s.flags[HideWindowTitle] != 0;
    r->transparentLevel = s.transparentLevel;
    r->bold = s.flags[EnableBoldTextsOnWindow] != 0;
    DeleteMonitorFont(r);
    r->timeArrowFont = CreateMonitorFont(r->bold);
}

void DeleteMonitorFont(MonitorRecord* r)
{
    if (r->timeArrowFont)
        DeleteObject(r->timeArrowFont);
    r->timeArrowFont = nullptr;
}

void ApplySettingsToWindow(MonitorRecord* r, const MonitorSettings& s)
{
    HWND window = r->window;
    TakeMonitorSettings(r, s);
    ShowWindow(window, SW_HIDE);
    r->hiddenByAgent = false;

    const bool bold = s.flags[EnableBoldTextsOnWindow] != 0;
    if (bold != r->bold || !r->timeArrowFont) {
        DeleteMonitorFont(r);
        r->bold = bold;
        r->timeArrowFont = CreateMonitorFont(bold);
    }
    SetWindowPos(window, nullptr, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (s.transparentLevel != r->transparentLevel)
        SetLayeredLevel(window, s.transparentLevel);
    const bool onTop = s.flags[ShowWindowOnTop] != 0;
    if (onTop != r->onTop) {
        r->onTop = onTop;
        SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ChangeCaption(window, DecideCaption(&r->toggleTitle, &r->titleHidden, s.flags[HideWindowTitle] != 0));
    r->transparentLevel = s.transparentLevel;

    RECT client;
    if (GetClientRect(window, &client))
        LayoutMonitorDiagram(r, client.right - client.left, client.bottom - client.top);
    SetWindowRgn(window, nullptr, FALSE);
    r->regionActive = false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    ShowWindow(window, SW_SHOWNA);
}

void ApplyMonitorSettings(MonitorRecord* record, const Char16* interfaceName, const Char16* interfaceId, bool lock)
{
    HANDLE mutex = MonitorListMutex;
    if (!mutex)
        return;
    if (lock)
        WaitForSingleObject(mutex, INFINITE);
    if (!record && interfaceName && interfaceId)
        record = FindMonitor(interfaceName, interfaceId);
    MonitorSettings settings = {};
    bool named = false;
    if (record) {
        // Names that cannot be copied leave the monitor as it is; nothing
        // may throw while the list's mutex is held.
        try {
            settings.interfaceName = record->interfaceName;
            settings.interfaceId = record->interfaceId;
            named = true;
        } catch (const std::bad_alloc&) {
        }
    }
    if (named) {
        LoadMonitorSettings(&settings, true);
        // Sent with the mutex held, which keeps the record alive meanwhile;
        // the window's handler takes no lock and waits for no other thread.
        if (record->window) {
            record->publishedSettings = &settings;
            SendMessageW(record->window, WM_MONITOR_APPLY_SETTINGS, 0, 0);
            record->publishedSettings = nullptr;
        } else
            TakeInitialSettings(record, settings);
    }
    if (lock)
        ReleaseMutex(mutex);
}
