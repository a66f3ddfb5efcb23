#include "tray/preferences_frame.h"

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "prefs/general_page.h"
#include "prefs/interfaces_page.h"
#include "prefs/monitors_page.h"
#include "prefs/movements_page.h"
#include "resources/resource_ids.h"

HWND GeneralPage;
HWND MonitorsPage;
HWND InterfacesPage;
HWND MovementsPage;
HWND CurrentPage;
HTREEITEM MonitorsTreeItem;

enum PageNumber { NoPage, PageGeneral, PageMonitors, PageInterfaces, PageMovements };

struct PageEntry {
    PageNumber number;
    const wchar_t* text;
    UINT dialog;
    DLGPROC proc;
    HWND* handle;
    // What an existing page gets when it is selected again: 0 for nothing,
    // else a WM_COMMAND id or a message.
    UINT reselectCommand;
    UINT reselectMessage;
};

static const PageEntry Pages[] = {
    {PageGeneral, L"General", IDD_GENERAL_PAGE, GeneralPageProc, &GeneralPage, 0, 0},
    {PageMonitors, L"Monitor(s)", IDD_MONITORS_PAGE, MonitorsPageProc, &MonitorsPage, IDC_REFRESH_INTERFACES, 0},
    {PageInterfaces, L"Interface(s)", IDD_INTERFACES_PAGE, InterfacesPageProc, &InterfacesPage, IDC_REFRESH_INTERFACES,
     0},
    {PageMovements, L"Movements", IDD_MOVEMENTS_PAGE, MovementsPageProc, &MovementsPage, 0, WM_AGENT_REFRESH},
};

static HWND MainDialogOf;

void FillPageTree(HWND mainDialog)
{
    MainDialogOf = mainDialog;
    HWND tree = GetDlgItem(mainDialog, IDC_PAGE_TREE);
    HTREEITEM general = nullptr;
    for (const PageEntry& page : Pages) {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(page.text);
        insert.item.lParam = page.number;
        HTREEITEM item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        if (page.number == PageGeneral)
            general = item;
        else if (page.number == PageMonitors)
            MonitorsTreeItem = item;
    }
    if (general)
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(general));
}

static void SelectPage(LPARAM number)
{
    if (CurrentPage) {
        ShowWindow(CurrentPage, SW_HIDE);
        CurrentPage = nullptr;
    }
    for (const PageEntry& page : Pages) {
        if (page.number != number)
            continue;
        if (!*page.handle)
            *page.handle = CreateDialogParamW(AppInstance, MAKEINTRESOURCEW(page.dialog), MainDialogOf, page.proc, 0);
        else if (page.reselectCommand)
            SendMessageW(*page.handle, WM_COMMAND, page.reselectCommand, 0);
        else if (page.reselectMessage)
            SendMessageW(*page.handle, page.reselectMessage, 0, 0);
        CurrentPage = *page.handle;
        if (CurrentPage)
            ShowWindow(CurrentPage, SW_SHOW);
        return;
    }
}

void OnTreeNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_PAGE_TREE || header->code != TVN_SELCHANGEDW)
        return;
    const NMTREEVIEWW* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    SelectPage(change->itemNew.lParam);
}

void PlacePage(HWND page)
{
    HWND parent = GetParent(page);
    HWND area = GetDlgItem(parent, IDC_PAGE_AREA);
    if (!area)
        return;
    ShowWindow(area, SW_HIDE);
    RECT rect;
    GetWindowRect(area, &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(parent, &corner);
    SetWindowPos(page, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}
