// The agent's private window messages. Some share a number: each is only
// ever sent to the one kind of window that knows it.
#pragma once

// Sent to end a window or a small modal dialog. It has the number of
// WM_QUIT, so posted it ends the thread's message loop: only the exit
// window posts it, to unload the agent.
#define AGENT_CLOSE_COMMAND 0x0012

// Synchronizing dialog: end now, behind whatever the page has queued.
#define WM_SYNCHRONIZED 0x8001

// A monitor window's next rate sample (lParam: the RateSample its record
// publishes, or null). Sent, never posted, so the sample may live on the
// sender's stack.
#define WM_MONITOR_SAMPLE 0x8064
// The Monitor(s) page's selection became empty (posted to itself).
#define WM_SELECTION_EMPTY 0x8064

// Re-read your data; the exit window unloads the agent on it.
#define WM_AGENT_REFRESH 0x8065

// The network status changed (posted to the statistics window).
#define WM_STATS_STATUS_CHANGED 0x8066
// The data-files operation's request returned (posted to its progress dialog).
#define WM_AGENT_OPERATION_DONE 0x8066

// The General page reloads every control.
#define WM_AGENT_RELOAD_PAGE 0x8067
// The statistics window gives the focus to the window in wParam.
#define WM_STATS_RESTORE_FOCUS 0x8067

// A monitor window takes the loaded MonitorSettings its record publishes,
// so that the window's own thread changes its image.
#define WM_MONITOR_APPLY_SETTINGS 0x806E

// The tray icon's mouse message, in lParam, to the main window.
#define WM_AGENT_TRAY_NOTIFY 0x80C8
