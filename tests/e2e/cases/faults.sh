# Faults met by the pages, monitors and dialogs: a service restart under
# open windows, adapters that come and go, damaged General page replies, a busy
# bind and delete, failing data-files operations and a start-up folder of the
# wrong type. Every case ends with the fault gone and the agent showing the
# service's state again. Uses the helpers of the tray, monitor, page and
# data-files case files.

# The bytes of a string as a .reg file's hex list, as if it were REG_SZ.
faults_utf16_hex() {
    printf '%s\0' "$1" | iconv -t UTF-16LE | od -An -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

# faults_wrong_values: a .reg file of every value the agent reads, stored
# with a wrong type or size.
faults_wrong_values() {
    local colors="" i
    for i in $(seq 1 87); do colors+="11,"; done
    cat <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\General]
"SetDisableStateZorvanHAgent"=hex(4):01
"ShowMonitorWindows"=dword:00000001
"ShowStatisticsWindow"="1"

[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\StatisticWindow]
"ShowWindowOnTop"=hex:01,01
"HideMSInTime"=dword:00000000
"DontConsiderHardwareHeaders"=hex:02
"AverageSpeedInBytesPerSecond"="1"
"SpeedInBytesPerSecond"=hex(4):01

[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\Monitors\\0000]
"Name"="$MONITOR_LAN_ID"
"HideWindowTitle"=dword:00000001
"ShowWindowOnTop"=hex:01,00
"PopupWhenConnected"=hex(4):01,00
"EnableVerticalLines"="1"
"TransparentLevel"=hex:32,00,00,00
"RefreshRate"="500"
"Colors"=hex:${colors%,}
"SizePositionWindow"=hex(4):01,00,00,00,10,00,00,00,10,00,00,00,10,01,00,00,10,01,00,00

[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\Monitors\\0001]
"Name"=hex:$(faults_utf16_hex "$MONITOR_WLAN_ID")

[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHMonitor]
"ZorvanHAgentDir"=dword:00000001
"ZorvanHAgentStartupFolder"=hex:$(faults_utf16_hex 'C:\zorvanh-startup\')
REG
}

faults_import_wrong_values() {
    local file="$E2E_TMP/wrong-values.reg"
    faults_wrong_values | sed 's/$/\r/' >"$file"
    e2e_wine reg import "$(e2e_winpath "$file")" >/dev/null 2>&1 || e2e_fail "cannot import $file" || return 1
    [[ "$(e2e_reg_value "$E2E_AGENT_KEY\\General" SetDisableStateZorvanHAgent)" == REG_DWORD* &&
        "$(e2e_reg_value "$MONITOR_KEY" ZorvanHAgentStartupFolder)" == REG_BINARY* ]] ||
        e2e_fail "the import stored other types"
}

# The value only the General page reads: a start-up folder stored as bytes
# is no folder.
case_fault_registry_page_values() {
    local folder="$WINEPREFIX/drive_c/zorvanh-startup" found
    rm -rf "$folder" && mkdir -p "$folder"
    faults_import_wrong_values || return 1
    e2e_sim_start default.scn || return 1
    general_start || return 1
    general_click 1059 || return 1
    found=$(find "$WINEPREFIX/drive_c/users" -ipath '*/startup/ZorvanHAgent.lnk' 2>/dev/null | head -1)
    [ -n "$found" ] && [ ! -e "$folder/ZorvanHAgent.lnk" ] ||
        e2e_fail "the shortcut did not go to the user's start-up folder" || return 1
    general_click 1059 || return 1
    [ ! -e "$found" ] || e2e_fail "unchecking left $found" || return 1
    rm -rf "$folder"
    tray_unload "$GENERAL_AGENT"
}

run_fault_registry_page_values() { general_case case_fault_registry_page_values; }

e2e_case fault-registry-page-values run_fault_registry_page_values

# e2e_expect_responsive for an agent on its virtual desktop.
faults_tray_responsive() {
    kill -0 "$1" 2>/dev/null || { e2e_fail "agent $1 ended by itself"; return 1; }
    tray_driver send "$E2E_EXIT_WINDOW" 0 --timeout 5000 >/dev/null || e2e_fail "exit window does not answer"
}

faults_tray_stats_open() {
    tray_driver post "$TRAY_MAIN" 0x80C8 0 0x203 --timeout 3000 >/dev/null || e2e_fail "no tray double-click" || return 1
    tray_driver wait-window "$STATS_WINDOW" --timeout 8000 >/dev/null || e2e_fail "no statistics window"
}

faults_page_lists() {
    ifaces_items | grep -qF "$1"
}

# An adapter with traffic for the monitor and two that "Bind all" takes on,
# each bind taking two seconds.
faults_bind_scenario() {
    local scenario="$E2E_TMP/bind-restart.scn"
    {
        echo "first-word 0x00010002"
        echo "add-interface lan name=\"$MONITOR_LAN\" id=$MONITOR_LAN_ID flags=supported,connected,bound,binding-active" \
            "rx-rate=5000000 tx-rate=2000000 connections=1"
        echo "add-interface usb name=\"USB Ethernet Adapter\" flags=supported,connected"
        echo "add-interface dock name=\"Docking Station Ethernet\" flags=supported,connected"
        echo "request-delay 5 2000"
    } >"$scenario"
    printf '%s' "$scenario"
}

# The service stops under an open monitor, the statistics window and a bind
# running behind its progress dialog, and comes back.
case_fault_restart_under_windows() {
    local STATS_DRIVER=tray_driver
    e2e_sim_start "$(faults_bind_scenario)" || return 1
    tray_agent_start || return 1
    GENERAL_AGENT=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    faults_tray_stats_open || return 1
    stats_expect 1001 "$MONITOR_LAN" || return 1
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 3 || return 1
    IFACES_PAGE=$(prefs_page_with 1029) || e2e_fail "no Interface(s) page" || return 1
    ifaces_wait_list || return 1
    local dialog
    tray_driver press "hwnd:$IFACES_PAGE" 1030 >/dev/null || e2e_fail "cannot press \"Bind a&ll supported\"" || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    # The first bind is on its way; the second finds the service gone.
    e2e_simctl stop-service >/dev/null || return 1
    ifaces_expect_box "$IFACES_BINDING" "ZorvanHService is not started!" || return 1
    ifaces_answer "$IFACES_BINDING" 1 || return 1
    ifaces_wait_gone "$dialog" 5000 || return 1
    stats_expect 1001 "ZorvanHService is not started!" || return 1
    [ "$(monitor_rows "$MONITOR_LAN")" = visible ] || e2e_fail "the monitor went with the service" || return 1
    e2e_shot fault-restart-stopped

    # The agent's watchers hold the service's events across the restart, so
    # the window and the page list again on the service's first change.
    e2e_simctl start-service >/dev/null && e2e_simctl signal conf >/dev/null || return 1
    stats_expect 1001 "$MONITOR_LAN" || return 1
    e2e_until 40 faults_page_lists "USB Ethernet Adapter" ||
        e2e_fail "the page did not list again: $(ifaces_items | tr '\n\t' '| ')" || return 1
    ifaces_wait_list || return 1
    # The first bind was done; the second was sent to a stopped service and
    # no third followed.
    [ "$(e2e_simctl bind-requests | grep -c .)" = 1 ] && [ "$(e2e_simctl count 5)" = 2 ] ||
        e2e_fail "request 5: $(e2e_simctl count 5) sent, [$(e2e_simctl bind-requests | tr '\n' '|')] done" || return 1
    [ "$(monitor_rows "$MONITOR_LAN")" = visible ] || e2e_fail "the monitor did not stay" || return 1
    faults_tray_responsive "$GENERAL_AGENT" || return 1
    e2e_ledger_clean 3 || return 1
    tray_unload "$GENERAL_AGENT"
}

faults_combo_holds() {
    FAULTS_SEEN=$(tray_driver send "hwnd:$FAULTS_COMBO" 0x146 | tr -d '\r')
    [ "$((FAULTS_SEEN))" = "$1" ]
}

# faults_tray_combo_count <n>: the statistics window's interface combo holds n items.
faults_tray_combo_count() {
    FAULTS_COMBO=$(tray_driver list-children "$STATS_WINDOW" | tr -d '\r' | awk -F'\t' '$2 == 1001 { print $1; exit }')
    [ -n "$FAULTS_COMBO" ] || { e2e_fail "no interface combo"; return 1; }
    e2e_until 40 faults_combo_holds "$1" || e2e_fail "the interface combo holds $FAULTS_SEEN items, not $1"
}

# The wireless adapter comes back connected, as it went.
faults_add_wlan() {
    e2e_simctl add-interface wlan "name=$MONITOR_WLAN" "id=$MONITOR_WLAN_ID" flags=supported,connected,bound,binding-active \
        rx-rate=900000 tx-rate=150000 >/dev/null
}

# An adapter comes and goes every few seconds: its monitor (set to pop up)
# is hidden while it is gone and comes back with it, the statistics window
# lists it or not; a burst of changes ends in the state the service has.
case_fault_interfaces_churn() {
    local scenario="$E2E_TMP/churn.scn" round STATS_DRIVER=tray_driver
    {
        echo "first-word 0x00010002"
        echo "add-interface lan name=\"$MONITOR_LAN\" id=$MONITOR_LAN_ID flags=supported,connected,bound,binding-active rx-rate=5000000"
        echo "add-interface wlan name=\"$MONITOR_WLAN\" id=$MONITOR_WLAN_ID flags=supported,connected,bound,binding-active"
    } >"$scenario"
    e2e_sim_start "$scenario" || return 1
    monitor_place 0001 "$MONITOR_WLAN_ID" 300 200 500 328 PopupWhenConnected || return 1
    tray_agent_start || return 1
    GENERAL_AGENT=$E2E_LAST_PID
    monitor_open 1 "$MONITOR_WLAN" || return 1
    faults_tray_stats_open || return 1
    faults_tray_combo_count 2 || return 1
    for round in 1 2; do
        e2e_simctl remove-interface wlan >/dev/null || return 1
        monitor_await "$MONITOR_WLAN" hidden || e2e_fail "round $round: monitor is \"$MONITOR_STATE\" while gone" || return 1
        faults_tray_combo_count 1 || return 1
        faults_add_wlan || return 1
        monitor_await "$MONITOR_WLAN" visible || e2e_fail "round $round: monitor is \"$MONITOR_STATE\" when back" || return 1
        faults_tray_combo_count 2 || return 1
    done
    for round in 1 2 3 4; do
        e2e_simctl remove-interface wlan >/dev/null && sleep 0.3
        faults_add_wlan && sleep 0.3
    done
    e2e_simctl remove-interface wlan >/dev/null
    monitor_await "$MONITOR_WLAN" hidden || e2e_fail "after the burst the monitor is \"$MONITOR_STATE\"" || return 1
    faults_tray_combo_count 1 || return 1
    [ "$(monitor_rows "$MONITOR_WLAN" | wc -l)" = 1 ] || e2e_fail "the churn left $(monitor_rows "$MONITOR_WLAN" | wc -l) monitors" || return 1
    faults_tray_responsive "$GENERAL_AGENT" || return 1
    e2e_ledger_clean 10 || return 1
    tray_unload "$GENERAL_AGENT"
}

run_fault_restart_under_windows() { general_case case_fault_restart_under_windows; }
run_fault_interfaces_churn() { general_case case_fault_interfaces_churn; }

e2e_case fault-restart-under-windows run_fault_restart_under_windows
e2e_case fault-interfaces-churn run_fault_interfaces_churn

# faults_general_refresh <text>: the page asks the service again and shows
# that in its folder box.
faults_general_refresh() {
    tray_driver send "hwnd:$GENERAL_PAGE" 0x8065 --timeout 10000 >/dev/null || e2e_fail "the page does not answer" || return 1
    general_wait_text 1002 "$1" || e2e_fail "the folder box shows \"$(general_text 1002)\", not \"$1\""
}

# Requests 9 and 14 of the General page: busy answers repeated until the
# service answers, error statuses and damaged replies shown in the folder
# box with the controls off, a failed request 14 snapping the slider back.
case_fault_general_replies() {
    e2e_sim_start default.scn "data-settings folder=D:\\Counted\\ hold=30" || return 1
    general_start || return 1
    general_expect_text 1002 'D:\Counted\' || return 1
    local base fault
    base=$(e2e_simctl count 9)
    e2e_simctl fault busy code=9 block=yes times=25 >/dev/null && e2e_simctl data-settings 'folder=D:\After\' >/dev/null || return 1
    faults_general_refresh 'D:\After\' || return 1
    [ "$(e2e_simctl count 9)" -ge $((base + 26)) ] || e2e_fail "request 9 sent $(($(e2e_simctl count 9) - base)) times" || return 1
    for fault in "status status=0xC0FE0005:ZorvanHService return error!" "wrong-version:Bad version of ZorvanHService!"; do
        # shellcheck disable=SC2086 # the fault's words
        e2e_simctl fault ${fault%%:*} code=9 >/dev/null || return 1
        faults_general_refresh "${fault#*:}" || return 1
        general_expect_enabled no 1058 1079 1071 1070 || return 1
        e2e_simctl clear-fault all >/dev/null
        faults_general_refresh 'D:\After\' || return 1
        general_expect_enabled yes 1058 1079 1071 1070 || return 1
    done
    # Request 9 runs on the page's thread: a service that stays busy is
    # given up on after a while.
    e2e_simctl fault busy code=9 >/dev/null
    faults_general_refresh "ZorvanHService return error!" || return 1
    faults_tray_responsive "$GENERAL_AGENT" || return 1
    e2e_simctl clear-fault all >/dev/null
    faults_general_refresh 'D:\After\' || return 1
    # A path size of four gigabytes, then a path without its NUL.
    for fault in "fill" "fill from=9"; do
        # shellcheck disable=SC2086 # the fault's words
        e2e_simctl fault $fault code=9 times=1 >/dev/null || return 1
        tray_driver send "hwnd:$GENERAL_PAGE" 0x8065 --timeout 10000 >/dev/null || e2e_fail "\"$fault\" stopped the page" || return 1
        faults_general_refresh 'D:\After\' || return 1
    done

    # Request 14 repeats while busy; a failure is not reported, and the
    # refresh after it puts the slider back where the service is.
    e2e_simctl fault busy code=14 block=yes times=25 >/dev/null || return 1
    general_release 50 sends || return 1
    general_expect_sent "50,0" || return 1
    [ "$(e2e_simctl count 14)" -ge 26 ] || e2e_fail "request 14 sent $(e2e_simctl count 14) times" || return 1
    e2e_simctl fault status code=14 status=0xC0FE0001 times=1 >/dev/null || return 1
    general_release 70 sends || return 1
    general_wait_text 1071 "$HOLD_TEXT 50 Sec" || e2e_fail "the hold label shows \"$(general_text 1071)\" after a failed set" || return 1
    general_expect_sent "50,0" || return 1
    e2e_driver wait-gone "ZorvanH Agent is synchronizing..." --timeout 3000 || e2e_fail "the synchronizing dialog stayed" || return 1
    faults_tray_responsive "$GENERAL_AGENT" || return 1
    e2e_ledger_clean 30 || return 1
    tray_unload "$GENERAL_AGENT"
}

run_fault_general_replies() { general_case case_fault_general_replies; }

e2e_case fault-general-replies run_fault_general_replies

# A busy service fails a bind and a delete (neither is repeated), the busy
# blocks go back to the library, and both work once the service answers.
case_fault_bind_delete_busy() {
    e2e_sim_start interfaces.scn "fault busy code=5 block=yes" "fault busy code=10 block=yes" || return 1
    ifaces_open || return 1
    GENERAL_AGENT=$IFACES_AGENT
    local dialog
    tray_driver press "hwnd:$IFACES_PAGE" 1030 >/dev/null || e2e_fail "cannot press \"Bind a&ll supported\"" || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    ifaces_expect_box "$IFACES_BINDING" "Error occured during the operation. Do you want to continue?" || return 1
    ifaces_answer "$IFACES_BINDING" $IDNO || return 1
    ifaces_wait_gone "$dialog" 5000 || return 1
    [ "$(e2e_simctl count 5)" = 1 ] || e2e_fail "request 5 sent $(e2e_simctl count 5) times" || return 1
    ifaces_wait_list || return 1
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "2:Gigabit Ethernet Adapter (PCI)" "3:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1

    prefs_select 4 || return 1
    MOVES_PAGE=$(prefs_page_with 1072) || e2e_fail "no Movements page" || return 1
    moves_wait_list "6:Fast Ethernet 10/100 PCI Adapter" || return 1
    local lists
    lists=$(e2e_simctl count 1)
    tray_driver press "hwnd:$MOVES_PAGE" 1058 >/dev/null || return 1
    ifaces_answer "$MOVES_ASKING" $IDYES || return 1
    ifaces_expect_box "$MOVES_DELETING" "Error occured during the operation." || return 1
    ifaces_answer "$MOVES_DELETING" 1 || return 1
    moves_after_error "$lists" "6:Fast Ethernet 10/100 PCI Adapter" || return 1
    e2e_simctl clear-fault all >/dev/null
    moves_delete "Fast Ethernet 10/100 PCI Adapter" || return 1
    moves_wait_list "13:$MOVES_NONE" || return 1
    e2e_ledger_clean 3 || return 1
    tray_unload "$GENERAL_AGENT"
}

run_fault_bind_delete_busy() { general_case case_fault_bind_delete_busy; }

e2e_case fault-bind-delete-busy run_fault_bind_delete_busy

# Data-files operations: a busy backup, a failing move and a failing
# restore are failures, busy and damaged progress replies leave the bar
# alone, and a restore whose reply cannot hold its snapshot leaves the
# registry as it is.
case_fault_data_files() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=1500" \
        "fault busy code=12 block=yes times=1" "fault status code=8 status=0xC0FE0001 times=1" || return 1
    general_start || return 1
    df_choose 1074 || return 1
    df_expect_msgbox "ZorvanHService return error!" && df_answer 1 || return 1
    df_choose 1075 || return 1
    df_expect_msgbox "ZorvanHService return error!" && df_answer 1 || return 1
    [ "$(e2e_simctl count 12)" = 1 ] && [ "$(e2e_simctl count 8)" = 1 ] ||
        e2e_fail "requests 12 and 8 sent $(e2e_simctl count 12) and $(e2e_simctl count 8) times" || return 1

    e2e_simctl fault busy code=11 block=yes times=2 >/dev/null && e2e_simctl fault fill code=11 >/dev/null || return 1
    df_choose 1074 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    [ "$(e2e_simctl count 11)" -ge 3 ] || e2e_fail "progress polled $(e2e_simctl count 11) times" || return 1
    e2e_simctl clear-fault all >/dev/null

    # A busy move or restore is its answer, never asked again; a failing
    # progress poll only leaves the bar where it was.
    e2e_simctl fault busy code=8 times=1 >/dev/null && e2e_simctl fault busy code=13 times=1 >/dev/null || return 1
    df_choose 1075 || return 1
    df_expect_msgbox "ZorvanHService return error!" && df_answer 1 || return 1
    df_choose 1080 || return 1
    df_expect_msgbox "ZorvanHService return error!" && df_answer 1 || return 1
    [ "$(e2e_simctl count 8)" = 2 ] && [ "$(e2e_simctl count 13)" = 1 ] ||
        e2e_fail "busy requests 8 and 13 sent $(e2e_simctl count 8) and $(e2e_simctl count 13) times" || return 1
    e2e_simctl fault status code=11 status=0xC0FE0001 >/dev/null || return 1
    df_choose 1074 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    e2e_simctl clear-fault all >/dev/null

    general_click 1074 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 01 || return 1
    e2e_simctl fault status code=13 status=0xC0FE0001 times=1 >/dev/null || return 1
    df_choose 1080 || return 1
    df_expect_msgbox "ZorvanHService return error!" && df_answer 1 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 01 || return 1
    e2e_simctl fault truncate code=13 bytes=14 times=1 >/dev/null || return 1
    df_choose 1080 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 01 || return 1
    df_choose 1080 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 00 || return 1
    e2e_ledger_clean 5 || return 1
    tray_unload "$GENERAL_AGENT"
}

run_fault_data_files() { general_case case_fault_data_files; }

e2e_case fault-data-files run_fault_data_files
