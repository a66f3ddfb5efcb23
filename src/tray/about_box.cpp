#include "tray/about_box.h"

#include "agent_version.h"
#include "core/agent_state.h"
#include "resources/resource_ids.h"
#include "tray/tray_commands.h"

static INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        AboutWindow = dialog;
        SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, L"Version " TEXT(ZORVANH_VERSION_TEXT));
        HICON icon = LoadIconW(AppInstance, MAKEINTRESOURCEW(IDI_AGENT));
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SetForegroundWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        AboutWindow = nullptr;
        return FALSE;
    }
    return FALSE;
}

static DWORD WINAPI AboutThread(void*)
{
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_ABOUT), nullptr, AboutProc, 0);
    return 0;
}

void ShowAbout()
{
    if (AboutWindow) {
        SetForegroundWindow(AboutWindow);
        ShowWindow(AboutWindow, SW_RESTORE);
        return;
    }
    HANDLE thread = CreateThread(nullptr, 0, AboutThread, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(thread);
}
