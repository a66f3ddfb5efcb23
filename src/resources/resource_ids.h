// Resource numbers, grouped by the window or table that uses them. The
// numbers are fixed: other programs and the manual refer to some of them.
#pragma once

// Main dialog and exit window
#define IDD_MAIN 101
#define IDD_EXIT_WINDOW 151
#define IDC_MAIN_CLOSE 70
#define IDC_PAGE_TREE 1000
#define IDC_PAGE_AREA 1028

// Preferences pages
#define IDD_INTERFACES_PAGE 143
#define IDD_MONITORS_PAGE 144
#define IDD_GENERAL_PAGE 145
#define IDD_MOVEMENTS_PAGE 146
#define IDC_PAGE_GROUP 1090
#define IDC_REFRESH_INTERFACES 1035

// About box
#define IDD_ABOUT 160
#define IDC_ABOUT_VERSION 1601

// Icons
#define IDI_TRAY_ENABLED 107
#define IDI_TRAY_DISABLED 108
#define IDI_AGENT 110

// Start-up and service messages
#define IDS_UNLOAD_QUESTION 1
#define IDS_CANT_LOAD_LIBRARY 2
#define IDS_BAD_WINDOWS 3
#define IDS_CANT_CREATE_MUTEX 4
#define IDS_ALREADY_RUNNING 5
#define IDS_CANT_INIT_LIBRARY 6
#define IDS_SERVICE_NOT_STARTED 7
#define IDS_SERVICE_ERROR 8
#define IDS_BAD_SERVICE_VERSION 9
#define IDS_NO_BOUND_ADAPTERS 10
#define IDS_ENABLE_AGENT 11
#define IDS_DISABLE_AGENT 12
#define IDS_TIP_ENABLED 13
#define IDS_TIP_DISABLED 14
#define IDS_NO_INTERFACES 71
#define IDS_OUT_OF_MEMORY 72
#define IDS_ACCESS_DENIED 78
#define IDS_COMPONENT_MISSING 83
#define IDS_CANT_INIT_SYNC 103
#define IDS_HELP_NOT_FOUND 106
#define IDS_PREFERENCES_CAPTION 109
#define IDS_NO_NOT_PRESENT 119

// Tray menu
#define IDM_TRAY 112
#define IDM_STATISTICS 40005
#define IDM_PREFERENCES 40001
#define IDM_ABOUT 40003
#define IDM_HELP 40008
#define IDM_ENABLE_DISABLE 40009
#define IDM_UNLOAD 40004
#define IDM_FIRST_INTERFACE 50900
#define IDM_LAST_INTERFACE 50999

// Private window messages
#define WM_AGENT_REFRESH 0x8065
#define WM_AGENT_TRAY_NOTIFY 0x80C8
#define AGENT_CLOSE_COMMAND 0x0012

// Tray menu item pictures (16x16, 16 colours, entry 13 is the background)
#define IDB_MENU_MONITORS 120
#define IDB_MENU_STATISTICS 121
#define IDB_MENU_DISABLE 122
#define IDB_MENU_UNLOAD 123
#define IDB_MENU_PREFERENCES 124
#define IDB_MENU_INTERFACE 125
#define IDB_MENU_INFORMATION 126
#define IDB_MENU_ABOUT 127
#define IDB_MENU_HELP 128
#define IDB_MENU_ENABLE 130
