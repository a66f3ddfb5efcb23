#include "tray/tray_icon.h"

#include <shellapi.h>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "platform/message_box.h"
#include "resources/resource_ids.h"

static NOTIFYICONDATAW TrayIconData(HWND owner)
{
    NOTIFYICONDATAW data;
    ZeroMemory(&data, sizeof data);
    // The oldest layout (152 bytes) is the one every shell understands.
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = owner;
    data.uID = 0;
    return data;
}

bool ShowTrayIcon(HWND owner, DWORD action, bool disabled)
{
    NOTIFYICONDATAW data = TrayIconData(owner);
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_AGENT_TRAY_NOTIFY;
    data.hIcon = static_cast<HICON>(
        LoadImageW(AppInstance, MAKEINTRESOURCEW(disabled ? IDI_TRAY_DISABLED : IDI_TRAY_ENABLED), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (LoadAgentString(disabled ? IDS_TIP_DISABLED : IDS_TIP_ENABLED, data.szTip, 64))
        data.uFlags |= NIF_TIP;
    return Shell_NotifyIconW(action, &data) != FALSE;
}

void RemoveTrayIcon(HWND owner)
{
    NOTIFYICONDATAW data = TrayIconData(owner);
    Shell_NotifyIconW(NIM_DELETE, &data);
}
