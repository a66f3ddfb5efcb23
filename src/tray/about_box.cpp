#include "tray/about_box.h"

#include "agent_version.h"
#include "core/agent_state.h"
#include "resources/resource_ids.h"

HWND AboutWindow;
static volatile LONG AboutBoxEnded;

static INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        // Published before the flag is read: the shutdown either finds the
        // box or the box finds the flag.
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&AboutWindow), dialog);
        if (InterlockedCompareExchange(&AboutBoxEnded, 0, 0)) {
            EndDialog(dialog, 0);
            return TRUE;
        }
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

// The box's thread, started and joined on the main window's thread only.
static HANDLE AboutBoxThread;

void ShowAbout()
{
    if (AboutWindow) {
        SetForegroundWindow(AboutWindow);
        ShowWindow(AboutWindow, SW_RESTORE);
        return;
    }
    if (AboutBoxThread) {
        // Still coming up, or going: one box at a time.
        if (WaitForSingleObject(AboutBoxThread, 0) == WAIT_TIMEOUT)
            return;
        CloseHandle(AboutBoxThread);
    }
    AboutBoxThread = CreateThread(nullptr, 0, AboutThread, nullptr, 0, nullptr);
}

void EndAboutBoxAndWait(DWORD timeoutMs)
{
    InterlockedExchange(&AboutBoxEnded, 1);
    if (!AboutBoxThread)
        return;
    HWND box = AboutWindow;
    if (box)
        EndDialog(box, 0);
    WaitForSingleObject(AboutBoxThread, timeoutMs);
    CloseHandle(AboutBoxThread);
    AboutBoxThread = nullptr;
}
