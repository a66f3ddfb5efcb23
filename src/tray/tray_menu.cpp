#include "tray/tray_menu.h"

#include <vector>

#include "core/busy_guard.h"
#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "resources/resource_ids.h"
#include "tray/menu_draw.h"
#include "tray/menu_mnemonics.h"
#include "tray/tray_commands.h"

const UINT MonitorsPosition = 2;
const UINT StatePosition = 4;
const int ItemImageSize = 18;

struct TrayItemLook {
    UINT position;
    UINT commandId;  // MenuSubmenuId, MenuSeparatorId or a command
    UINT bitmap;     // 0: none
};

// Position 4's picture follows the state; it is filled in when attached.
static const TrayItemLook TrayItems[] = {
    {0, IDM_STATISTICS, IDB_MENU_STATISTICS},
    {1, IDM_PREFERENCES, IDB_MENU_PREFERENCES},
    {2, MenuSubmenuId, IDB_MENU_MONITORS},
    {3, MenuSeparatorId, 0},
    {4, IDM_ENABLE_DISABLE, 0},
    {5, MenuSeparatorId, 0},
    {6, IDM_ABOUT, IDB_MENU_ABOUT},
    {7, IDM_HELP, IDB_MENU_HELP},
    {8, MenuSeparatorId, 0},
    {9, IDM_UNLOAD, IDB_MENU_UNLOAD},
};

static MenuDrawRecord* AttachWithImage(MenuDrawRecord* parent, HMENU menu, UINT commandId, UINT position, UINT bitmap)
{
    MenuDrawRecord* record = AttachMenuItem(parent, menu, commandId, position);
    if (record && bitmap) {
        record->iconId = bitmap;
        LoadItemImages(record, ItemImageSize, ItemImageSize);
    }
    return record;
}

static void SetStateText(HMENU popup)
{
    wchar_t text[256];
    if (!LoadAgentString(StartupOptions.SetDisableState ? IDS_ENABLE_AGENT : IDS_DISABLE_AGENT, text, 256))
        return;
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = text;
    SetMenuItemInfoW(popup, StatePosition, TRUE, &item);
}

static void InsertInformationLine(MenuDrawRecord* parent, HMENU submenu, UINT stringId)
{
    wchar_t text[256];
    if (!LoadAgentString(stringId, text, 256))
        return;
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID;
    item.fState = MFS_DISABLED | MFS_GRAYED;
    item.wID = 0;
    item.dwTypeData = text;
    if (InsertMenuItemW(submenu, 0, TRUE, &item))
        AttachWithImage(parent, submenu, MenuInformationId, 0, IDB_MENU_INFORMATION);
}

// The entries are copied out of the reply, so a name or an identifier that
// runs to the end of its field still ends in a NUL here.
static void FillMonitorsSubmenu(MenuDrawRecord* parent, HMENU submenu, ServiceReply* reply,
                                std::vector<InterfaceEntry>* entries)
{
    ServiceStatus status = RequestInterfaceList(SelectMonitored, reply);
    InterfaceListOutcome outcome = DecodeInterfaceList(ReaderTrayMenu, status, reply->data, reply->size, entries);
    if (outcome != ListHasRecords) {
        InsertInformationLine(parent, submenu, InterfaceListMessageId(outcome, IDS_NO_BOUND_ADAPTERS));
        return;
    }
    const size_t limit = IDM_LAST_INTERFACE - IDM_FIRST_INTERFACE + 1;
    if (entries->size() > limit)
        entries->resize(limit);
    for (size_t k = 0; k < entries->size(); ++k) {
        wchar_t text[520];
        MenuTextOfName((*entries)[k].name.c_str(), text, 520);
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_ID;
        item.wID = UINT(IDM_FIRST_INTERFACE + k);
        item.dwTypeData = text;
        if (!InsertMenuItemW(submenu, UINT(k), TRUE, &item))
            continue;
        MenuDrawRecord* record = AttachWithImage(parent, submenu, item.wID, UINT(k), IDB_MENU_INTERFACE);
        if (record)
            record->userData = &(*entries)[k];
    }
}

// The root of the popup's draw records; `monitors` gets the record of the
// "&Monitors" item, the parent of the submenu's entries.
static MenuDrawRecord* AttachTrayItems(HMENU popup, MenuDrawRecord** monitors)
{
    MenuDrawRecord* root = AttachMenuItem(nullptr, popup, MenuRootId, MenuRootPosition);
    if (!root)
        return nullptr;
    SetMenuDefaultItem(popup, IDM_STATISTICS, FALSE);
    SetStateText(popup);
    for (const TrayItemLook& look : TrayItems) {
        UINT bitmap = look.bitmap;
        if (look.position == StatePosition)
            bitmap = StartupOptions.SetDisableState ? IDB_MENU_ENABLE : IDB_MENU_DISABLE;
        MenuDrawRecord* record = AttachWithImage(root, popup, look.commandId, look.position, bitmap);
        if (look.position == MonitorsPosition)
            *monitors = record;
    }
    return root;
}

static void EmptySubmenu(HMENU submenu)
{
    for (int position = GetMenuItemCount(submenu) - 1; position >= 0; --position)
        DeleteMenu(submenu, UINT(position), MF_BYPOSITION);
}

// Set while the menu is up: a second right-click, or a tray notification
// posted meanwhile, reaches the main window from inside the menu's loop.
static BusyMarker TrayMenuOpen;

void OpenTrayMenu(HWND owner)
{
    if (TrayMenuOpen)
        return;
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    ServiceReply reply;
    ClearReply(&reply);
    std::vector<InterfaceEntry> entries;
    MenuDrawRecord* monitors = nullptr;
    MenuDrawRecord* root = popup ? AttachTrayItems(popup, &monitors) : nullptr;
    if (root) {
        HMENU submenu = GetSubMenu(popup, MonitorsPosition);
        EmptySubmenu(submenu);
        // Taken before the service is asked: the menu opens where the user
        // clicked, however long the answer takes.
        POINT cursor = {};
        GetCursorPos(&cursor);
        if (monitors)
            FillMonitorsSubmenu(monitors, submenu, &reply, &entries);
        UINT command = 0;
        {
            // Free again before the command: the menu may open while a
            // question of the command waits.
            BusyGuard open(TrayMenuOpen);
            SetForegroundWindow(owner);
            PrepareMenu(owner, root);
            command = UINT(TrackPopupMenu(popup, TPM_RETURNCMD, cursor.x, cursor.y, 0, owner, nullptr));
        }
        const InterfaceEntry* entry = nullptr;
        if (command >= IDM_FIRST_INTERFACE && command - IDM_FIRST_INTERFACE < entries.size())
            entry = &entries[command - IDM_FIRST_INTERFACE];
        if (command != 0)
            RunTrayCommand(owner, command, entry ? &entry->name : nullptr, entry ? &entry->id : nullptr);
        // The entries are copies, so nothing points into the reply any more.
        ReleaseReply(&reply);
        FreeMenuRecords(root);
    }
    DestroyMenu(menu);
}
