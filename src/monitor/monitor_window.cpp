#include "monitor/monitor_window.h"

#include <new>

#include <commctrl.h>

#include "core/agent_messages.h"
#include "monitor/appearance_rules.h"
#include "monitor/diagram_image.h"
#include "monitor/diagram_paint.h"
#include "monitor/monitor_appearance.h"
#include "monitor/monitor_settings_store.h"
#include "monitor/monitor_window_rules.h"
#include "resources/resource_ids.h"

namespace {

const UINT_PTR RegionTimer = 100168;
const UINT RegionTimerMs = 300;
const LPARAM TooltipToolTag = 0x12345699;

MonitorRecord* RecordOf(HWND window)
{
    return reinterpret_cast<MonitorRecord*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void ClientSize(HWND window, int* width, int* height)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

void DropRegion(MonitorRecord* record)
{
    if (!record->regionActive)
        return;
    SetWindowRgn(record->window, nullptr, TRUE);
    record->regionActive = false;
}

// A tooltip's own messages carry pointers, and any program can send or
// post them to a top-level window: the tooltip takes them only from the
// monitor's calls and from its own processing, so a forged one is dropped.
LRESULT CALLBACK GuardedTooltip(HWND tip, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The record goes in before the guard, and stays until the tooltip is gone.
    MonitorRecord* record = RecordOf(tip);
    if (!record || (message >= WM_USER && message < WM_APP && record->tooltipCalls == 0))
        return 0;
    ++record->tooltipCalls;
    LRESULT result = CallWindowProcW(record->tooltipControl, tip, message, wParam, lParam);
    --record->tooltipCalls;
    return result;
}

LRESULT SendToTooltip(MonitorRecord* record, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++record->tooltipCalls;
    LRESULT result = SendMessageW(record->tooltip, message, wParam, lParam);
    --record->tooltipCalls;
    return result;
}

void CreateTooltip(MonitorRecord* record)
{
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, record->window, nullptr, nullptr, nullptr);
    if (!tip)
        return;
    record->tooltip = tip;
    record->tooltipCalls = 0;
    SetWindowLongPtrW(tip, GWLP_USERDATA, LONG_PTR(record));
    record->tooltipControl =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GuardedTooltip)));
    if (!record->tooltipControl) {
        DestroyWindow(tip);
        record->tooltip = nullptr;
        return;
    }
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendToTooltip(record, TTM_ACTIVATE, TRUE, 0);
    TOOLINFOW tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = record->window;
    tool.uId = UINT_PTR(record->window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    tool.lParam = TooltipToolTag;
    SendToTooltip(record, TTM_ADDTOOLW, 0, LPARAM(&tool));
}

void InitMonitorWindow(HWND window, MonitorRecord* record)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(record));
    record->window = window;
    if (record->transparentLevel != 0) {
        SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0, LayeredAlpha(record->transparentLevel), LWA_ALPHA);
    }
    SetWindowTextW(window, record->interfaceName);
    const RECT r = record->windowRect;
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, record->titleHidden ? (style & ~WS_CAPTION) : (style | WS_CAPTION));
    SetWindowPos(window, record->onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    int width, height;
    ClientSize(window, &width, &height);
    OpenMonitorDiagram(record, width, height);
    CreateTooltip(record);
    ResumeThread(record->dataThread);
}

void TakeSample(HWND window, MonitorRecord* record, const RateSample* sample)
{
    const uint32_t receive = sample ? sample->receiveRate : 0, send = sample ? sample->sendRate : 0;
    AddDiagramSample(&record->diagram, receive, send, record->connectionCount, record->equalScale);
    InvalidateRect(window, nullptr, FALSE);
}

void Paint(HWND window, MonitorRecord* record)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    PaintMonitor(record, dc);
    EndPaint(window, &paint);
}

// Saves the frame as it is now; false when the checks of the store moved
// it, and clampedRect then holds where it belongs.
bool SaveFrame(HWND window, MonitorRecord* record)
{
    DropRegion(record);
    GetWindowRect(window, &record->windowRect);
    MonitorSettings settings = {};
    try {
        settings.interfaceName = record->interfaceName;
        settings.interfaceId = record->interfaceId;
    } catch (const std::bad_alloc&) {
        return true;  // not stored this time, as when the monitor has no key
    }
    settings.left = record->windowRect.left;
    settings.top = record->windowRect.top;
    settings.right = record->windowRect.right;
    settings.bottom = record->windowRect.bottom;
    if (!SaveMonitorPosition(nullptr, &settings))
        return true;
    const RECT checked = {settings.left, settings.top, settings.right, settings.bottom};
    if (EqualRect(&checked, &record->windowRect))
        return true;
    record->clampedRect = checked;
    return false;
}

void OnSize(HWND window, MonitorRecord* record)
{
    if (SaveFrame(window, record)) {
        int width, height;
        ClientSize(window, &width, &height);
        LayoutMonitorDiagram(record, width, height);
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    const RECT r = record->clampedRect;
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnSizing(int edge, RECT* dragged)
{
    MonitorFrame frame = {dragged->left, dragged->top, dragged->right, dragged->bottom};
    KeepMinimumSize(&frame, edge);
    *dragged = RECT{frame.left, frame.top, frame.right, frame.bottom};
}

// The grab is taken where the button went down, not where the cursor is by
// the time the press is read: a thread that falls behind a quick hand
// would otherwise grab a later point, and the window would lag the cursor
// by the difference for the whole drag.
void StartDrag(HWND window, MonitorRecord* record, LPARAM position)
{
    SetCapture(window);
    record->dragging = true;
    DropRegion(record);
    POINT cursor = {short(LOWORD(position)), short(HIWORD(position))};
    RECT frame;
    ClientToScreen(window, &cursor);
    GetWindowRect(window, &frame);
    record->grabX = cursor.x - frame.left;
    record->grabY = cursor.y - frame.top;
}

// The pixel under the cursor leaves the window, so clicks and the wheel
// fall through to whatever lies below.
void PunchCursorHole(HWND window, MonitorRecord* record, LPARAM position)
{
    RECT frame;
    GetWindowRect(window, &frame);
    POINT cursor = {short(LOWORD(position)), short(HIWORD(position))};
    ClientToScreen(window, &cursor);
    const int x = cursor.x - frame.left, y = cursor.y - frame.top;
    HRGN whole = CreateRectRgn(0, 0, frame.right - frame.left, frame.bottom - frame.top);
    HRGN hole = CreateRectRgn(x, y, x + 1, y + 1);
    if (whole && hole && CombineRgn(whole, whole, hole, RGN_XOR) != ERROR) {
        // The window owns the region once it is set.
        if (SetWindowRgn(window, whole, FALSE)) {
            whole = nullptr;
            record->regionActive = true;
            // The check runs only while a region is set: idle, it would wake
            // every monitor's thread three times a second for nothing.
            SetTimer(window, RegionTimer, RegionTimerMs, nullptr);
        }
    }
    if (whole)
        DeleteObject(whole);
    if (hole)
        DeleteObject(hole);
}

void OnMouseMove(HWND window, MonitorRecord* record, LPARAM position)
{
    if (record->dragging) {
        // The screen point the message was made at: its client point is
        // relative to where the window was then, and a move the window made
        // since (or the move message a window's own move brings) would count
        // twice when converted from where the window is now.
        const DWORD at = GetMessagePos();
        const POINT cursor = {short(LOWORD(at)), short(HIWORD(at))};
        SetWindowPos(window, nullptr, cursor.x - record->grabX, cursor.y - record->grabY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (record->transparentForMouse)
        PunchCursorHole(window, record, position);
}

void OnRegionTimer(HWND window, MonitorRecord* record)
{
    // Whatever removed the region (a move, a drag, new settings) leaves the
    // timer to end here.
    if (!record->regionActive) {
        KillTimer(window, RegionTimer);
        return;
    }
    POINT cursor;
    RECT client;
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    GetClientRect(window, &client);
    const bool inside =
        cursor.x >= client.left && cursor.x <= client.right && cursor.y >= client.top && cursor.y <= client.bottom;
    if (!inside) {
        DropRegion(record);
        KillTimer(window, RegionTimer);
    }
}

void RelayToTooltip(HWND window, MonitorRecord* record, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!record->tooltip)
        return;
    MSG relayed = {window, message, wParam, lParam, DWORD(GetMessageTime()), {0, 0}};
    DWORD position = GetMessagePos();
    relayed.pt.x = short(LOWORD(position));
    relayed.pt.y = short(HIWORD(position));
    SendToTooltip(record, TTM_RELAYEVENT, 0, LPARAM(&relayed));
}

bool OnNotify(MonitorRecord* record, NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (info->lParam != TooltipToolTag)
        return false;
    SetWindowPos(header->hwndFrom, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lstrcpynW(info->szText, record->interfaceName, int(sizeof info->szText / sizeof info->szText[0]));
    info->lpszText = info->szText;
    return true;
}

// Everything the window made goes here; the record itself, its names and its
// threads belong to the monitor's window thread.
void CloseMonitorWindow(HWND window, MonitorRecord* record)
{
    KillTimer(window, RegionTimer);
    ShowWindow(window, SW_HIDE);
    record->hiddenByAgent = false;
    CloseMonitorDiagram(record);
    DeleteMonitorFont(record);
    if (record->tooltip)
        DestroyWindow(record->tooltip);
    record->tooltip = nullptr;
    // Samples and settings that arrive before the dialog is gone find no
    // record and are ignored.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    EndDialog(window, 0);
}

}  // namespace

INT_PTR CALLBACK MonitorDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitMonitorWindow(window, reinterpret_cast<MonitorRecord*>(lParam));
        return TRUE;
    }
    MonitorRecord* record = RecordOf(window);
    if (!record)
        return FALSE;
    switch (message) {
    case WM_MONITOR_SAMPLE:
        if (lParam == 0 || reinterpret_cast<const RateSample*>(lParam) == record->publishedSample)
            TakeSample(window, record, reinterpret_cast<const RateSample*>(lParam));
        return TRUE;
    case WM_MONITOR_APPLY_SETTINGS:
        if (const MonitorSettings* settings = record->publishedSettings)
            ApplySettingsToWindow(record, *settings);
        return TRUE;
    case WM_PAINT:
        Paint(window, record);
        return TRUE;
    case WM_MOVE:
        SaveFrame(window, record);
        return TRUE;
    case WM_SIZE:
        OnSize(window, record);
        return TRUE;
    case WM_SIZING:
        OnSizing(int(wParam), reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == RegionTimer)
            OnRegionTimer(window, record);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(record, reinterpret_cast<NMHDR*>(lParam));
    case WM_LBUTTONDBLCLK:
        record->toggleTitle = true;
        ApplyMonitorSettings(record, nullptr, nullptr, false);
        return TRUE;
    case WM_LBUTTONDOWN:
        RelayToTooltip(window, record, message, wParam, lParam);
        StartDrag(window, record, lParam);
        return TRUE;
    case WM_LBUTTONUP:
        RelayToTooltip(window, record, message, wParam, lParam);
        ReleaseCapture();
        record->dragging = false;
        return TRUE;
    case WM_MOUSEMOVE:
        RelayToTooltip(window, record, message, wParam, lParam);
        OnMouseMove(window, record, lParam);
        return TRUE;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        RelayToTooltip(window, record, message, wParam, lParam);
        return TRUE;
    case WM_RBUTTONDOWN: {
        RelayToTooltip(window, record, message, wParam, lParam);
        POINT point = {short(LOWORD(lParam)), short(HIWORD(lParam))};
        ClientToScreen(window, &point);
        record->menuPoint = point;
        return TRUE;
    }
    case WM_NCRBUTTONDOWN:
        record->menuPoint.x = short(LOWORD(lParam));
        record->menuPoint.y = short(HIWORD(lParam));
        return TRUE;
    case WM_RBUTTONUP:
        RelayToTooltip(window, record, message, wParam, lParam);
        ShowMonitorMenu(record);
        return TRUE;
    case WM_NCRBUTTONUP:
        ShowMonitorMenu(record);
        return TRUE;
    case WM_CLOSE:
        SendMessageW(window, AGENT_CLOSE_COMMAND, 0, 0);
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        CloseMonitorWindow(window, record);
        return TRUE;
    }
    return FALSE;
}
