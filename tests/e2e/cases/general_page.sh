# The General page: the keys its first load completes, clicks written at
# once, the data-files folder and hold time from the simulator, request 14
# when the slider is let go, and the start-up shortcut. Uses the
# virtual-desktop helpers of tray.sh and preferences.sh.

GENERAL_KEY="$E2E_AGENT_KEY\\General"
STATWIN_KEY="$E2E_AGENT_KEY\\StatisticWindow"
MONITOR_KEY='HKLM\Software\Merovax\ZorvanHMonitor'
HOLD_TEXT="How long to hold the statistics for disconnected connection(s):"
TBM_GETPOS=0x400
TBM_SETPOS=0x405
WM_HSCROLL=0x114
TB_THUMBTRACK=5
TB_ENDTRACK=8
BM_GETCHECK=0xF0

# At start-up only the General page exists, so it is the one dialog child.
general_page() {
    prefs_children | awk -F'\t' '$4 == "#32770" { print $1; exit }'
}

general_control() {
    tray_driver list-children "hwnd:$GENERAL_PAGE" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { print $1; exit }'
}

general_text() {
    tray_driver text "hwnd:$GENERAL_PAGE" "$1" | tr -d '\r'
}

general_start() {
    tray_agent_start || return 1
    GENERAL_AGENT=$E2E_LAST_PID
    GENERAL_PAGE=$(general_page)
    [ -n "$GENERAL_PAGE" ] || e2e_fail "no General page after start-up"
}

general_click() {
    tray_driver press "hwnd:$GENERAL_PAGE" "$1" --click >/dev/null || e2e_fail "cannot click $1"
}

# general_expect_value <key> <name> <hex byte>
general_expect_value() {
    local got
    got=$(e2e_reg_value "$1" "$2")
    [ "$got" = "REG_BINARY $3" ] || e2e_fail "${1##*\\}\\$2 is \"${got:-missing}\", not $3"
}

general_expect_text() {
    local got
    got=$(general_text "$1")
    [ "$got" = "$2" ] || e2e_fail "control $1 shows \"$got\", not \"$2\""
}

# general_wait_text <id> <text>: what a thread of the agent shows soon.
general_wait_text() {
    local waited=0
    until [ "$(general_text "$1")" = "$2" ]; do
        [ $waited -ge 20 ] && return 1
        sleep 0.25
        waited=$((waited + 1))
    done
}

# general_expect_enabled <yes|no> <id>...
general_expect_enabled() {
    # The folder text comes before the controls follow it, so the state
    # gets a moment to settle.
    e2e_settle general_enabled_now "$@"
}

# Prints what differs from the wanted state, nothing when all agree.
general_enabled_now() {
    local want=$1 id style disabled
    shift
    for id in "$@"; do
        style=$(tray_driver style "hwnd:$GENERAL_PAGE" "$id" | tr -d '\r')
        [ -n "$style" ] || { echo "no control $id"; return; }
        disabled=no
        (( style & 0x08000000 )) && disabled=yes
        [ "$want" = yes ] && [ $disabled = yes ] && { echo "control $id is disabled"; return; }
        [ "$want" = no ] && [ $disabled = no ] && { echo "control $id is enabled"; return; }
    done
}

# general_release <position> [sends]: the slider moved there and let go, as
# a drag ends. With "sends", the page must also have re-read the service:
# a refresh lost while the synchronizing dialog ends would leave the page
# comparing the next release with stale values.
general_release() {
    local slider before
    slider=$(general_control 1070)
    before=$(e2e_simctl count 9)
    tray_driver send "hwnd:$slider" $TBM_SETPOS 1 "$1" >/dev/null &&
        tray_driver send "hwnd:$GENERAL_PAGE" $WM_HSCROLL $TB_ENDTRACK "$slider" --timeout 10000 >/dev/null ||
        { e2e_fail "the page did not take the slider's release at $1"; return 1; }
    [ "${2:-}" = sends ] || return 0
    e2e_wait_count 9 $((before + 1)) 5 && return 0
    e2e_log "after the release at $1: request 14 count $(e2e_simctl count 14), got $(e2e_simctl disconnected-requests)"
    return 1
}

# general_case <function>: a failed case still unloads its agent, which the
# harness cannot reach on the virtual desktop, so the next case starts clean.
general_case() {
    GENERAL_AGENT=""
    "$1"
    local rc=$?
    tray_unload_left "$GENERAL_AGENT"
    # The harness resets only the agent's own key.
    e2e_wine reg delete "$MONITOR_KEY" /f >/dev/null 2>&1
    return $rc
}

general_expect_sent() {
    local got
    got=$(e2e_simctl disconnected-requests)
    [ "$got" = "$1" ] || e2e_fail "request 14 received \"$got\", not \"$1\""
}

case_general_first_load() {
    e2e_sim_start default.scn "data-settings folder=D:\\Counted\\Data\\ hold=30" || return 1
    general_start || return 1
    local name
    for name in EnableStartZorvanHAgent SetDisableStateZorvanHAgent ShowMonitorWindows ShowStatisticsWindow; do
        general_expect_value "$GENERAL_KEY" $name 00 || return 1
    done
    for name in ShowWindowOnTop AverageSpeedInBytesPerSecond SpeedInBytesPerSecond; do
        general_expect_value "$STATWIN_KEY" $name 00 || return 1
    done
    general_expect_value "$STATWIN_KEY" HideMSInTime 01 || return 1
    general_expect_value "$STATWIN_KEY" DontConsiderHardwareHeaders 01 || return 1
    [ "$(tray_driver send "hwnd:$(general_control 1068)" $BM_GETCHECK | tr -d '\r')" = 0x1 ] ||
        e2e_fail "\"Do not show milliseconds\" is not checked" || return 1
    general_expect_text 1002 'D:\Counted\Data\' || return 1
    general_expect_text 1071 "$HOLD_TEXT 30 Sec" || return 1
    general_expect_enabled yes 1058 1079 1071 1070 || return 1

    # Each click is in the registry at once; there is no Apply.
    general_click 1060 && general_click 1068 && general_click 1074 || return 1
    general_expect_value "$GENERAL_KEY" SetDisableStateZorvanHAgent 01 || return 1
    general_expect_value "$STATWIN_KEY" HideMSInTime 00 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 01 || return 1
    general_click 1060 || return 1
    general_expect_value "$GENERAL_KEY" SetDisableStateZorvanHAgent 00 || return 1
    # None of these talks to the service.
    [ "$(e2e_simctl count 14)" = 0 ] || e2e_fail "a check box sent request 14" || return 1
    # A reload takes what another program wrote.
    e2e_wine reg add "$GENERAL_KEY" /v ShowMonitorWindows /t REG_BINARY /d 01 /f >/dev/null
    [ "$(tray_driver send "hwnd:$GENERAL_PAGE" 0x8067 | tr -d '\r')" = 0x1 ] &&
        [ "$(tray_driver send "hwnd:$(general_control 1061)" $BM_GETCHECK | tr -d '\r')" = 0x1 ] ||
        e2e_fail "a reload did not check \"Show monitor windows\"" || return 1

    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    tray_driver wait-shown "$TRAY_MAIN" --timeout 5000 >/dev/null || e2e_fail "the preferences did not come" || return 1
    e2e_shot general-page
    tray_unload "$GENERAL_AGENT"
}

case_general_service_stopped() {
    e2e_sim_start not-started.scn || return 1
    general_start || return 1
    general_expect_text 1002 "ZorvanHService is not started!" || return 1
    general_expect_enabled no 1058 1079 1071 1070 || return 1
    general_expect_enabled yes 1059 1068 || return 1
    # The configuration watcher re-reads the page once the service's events
    # are back; the fault waits for that, or the watcher's read could take it
    # or follow the case's own.
    e2e_simctl start-service >/dev/null
    general_wait_text 1002 'C:\Program Files\Merovax\ZorvanHService\Data\' ||
        e2e_fail "the page did not re-read the started service: \"$(general_text 1002)\"" || return 1
    # A reply without the whole fixed part counts as another version.
    e2e_simctl fault truncate bytes=8 code=9 times=1 >/dev/null
    tray_driver send "hwnd:$GENERAL_PAGE" 0x8065 >/dev/null
    general_expect_text 1002 "Bad version of ZorvanHService!" || return 1
    general_expect_enabled no 1058 1079 1071 1070 || return 1
    # The next refresh reads the folder and frees the controls.
    tray_driver send "hwnd:$GENERAL_PAGE" 0x8065 >/dev/null
    general_expect_text 1002 'C:\Program Files\Merovax\ZorvanHService\Data\' || return 1
    general_expect_enabled yes 1058 1079 1071 1070 || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$GENERAL_AGENT"
}

case_general_hold_slider() {
    e2e_sim_start default.scn "data-settings hold=250 cumulative=0" || return 1
    # The start-up option opens the statistics window when the page is made.
    e2e_wine reg add "$GENERAL_KEY" /v ShowStatisticsWindow /t REG_BINARY /d 01 /f >/dev/null
    general_start || return 1
    tray_driver wait-window "ZorvanHAgent Interface Statistics" --timeout 8000 >/dev/null ||
        e2e_fail "\"Show statistics window\" did not open the statistics window" || return 1
    general_expect_text 1071 "$HOLD_TEXT Infinite" || return 1
    local slider
    slider=$(general_control 1070)
    [ "$(tray_driver send "hwnd:$slider" $TBM_GETPOS | tr -d '\r')" = 0x64 ] ||
        e2e_fail "a hold of 250 s does not put the slider at its end" || return 1
    # Dragging moves the label only.
    tray_driver send "hwnd:$slider" $TBM_SETPOS 1 12 >/dev/null
    tray_driver send "hwnd:$GENERAL_PAGE" $WM_HSCROLL $TB_THUMBTRACK "$slider" >/dev/null
    general_expect_text 1071 "$HOLD_TEXT 12 Sec" || return 1
    general_expect_sent "" || return 1
    # Let go at the end: 100 differs from the service's 250.
    general_release 100 sends || return 1
    general_expect_sent "100,0" || return 1
    general_release 40 sends || return 1
    general_expect_sent "100,0 40,0" || return 1
    general_expect_text 1071 "$HOLD_TEXT 40 Sec" || return 1
    # Let go where it stands: the service already holds 40.
    general_release 40 || return 1
    general_click 1079 || return 1
    e2e_wait_count 14 3 5 || return 1
    general_expect_sent "100,0 40,0 40,1" || return 1
    [ "$(e2e_simctl count 14)" = 3 ] || e2e_fail "request 14 sent $(e2e_simctl count 14) times, not 3" || return 1
    e2e_driver wait-gone "ZorvanH Agent is synchronizing..." --timeout 3000 ||
        e2e_fail "the synchronizing dialog stayed" || return 1
    e2e_ledger_clean 1 || return 1
    tray_unload "$GENERAL_AGENT"
}

case_general_startup_shortcut() {
    local folder="$WINEPREFIX/drive_c/zorvanh-startup" link
    link="$folder/ZorvanHAgent.lnk"
    rm -rf "$folder" && mkdir -p "$folder"
    e2e_wine reg add "$MONITOR_KEY" /v ZorvanHAgentStartupFolder /t REG_SZ /d 'C:\zorvanh-startup\' /f >/dev/null
    e2e_sim_start default.scn || return 1
    general_start || return 1
    general_expect_value "$GENERAL_KEY" EnableStartZorvanHAgent 00 || return 1

    # Checked while a shortcut is there already: it is kept as it is.
    printf 'kept' >"$link"
    general_click 1059 || return 1
    [ "$(cat "$link" 2>/dev/null)" = kept ] || e2e_fail "an existing shortcut was made again" || return 1
    general_expect_value "$GENERAL_KEY" EnableStartZorvanHAgent 01 || return 1
    general_click 1059 || return 1
    [ ! -e "$link" ] || e2e_fail "unchecking left the shortcut" || return 1
    general_expect_value "$GENERAL_KEY" EnableStartZorvanHAgent 00 || return 1
    general_click 1059 || return 1
    [ "$(head -c 4 "$link" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 4c000000 ] ||
        e2e_fail "checking made no shortcut in the start-up folder" || return 1
    general_expect_value "$GENERAL_KEY" EnableStartZorvanHAgent 01 || return 1
    # Unchecked while nothing is there: still written.
    rm -f "$link"
    general_click 1059 || return 1
    general_expect_value "$GENERAL_KEY" EnableStartZorvanHAgent 00 || return 1
    tray_unload "$GENERAL_AGENT" || return 1

    # A value shorter than 7 bytes is no folder: the user's start-up folder is used.
    e2e_wine reg add "$MONITOR_KEY" /v ZorvanHAgentStartupFolder /t REG_SZ /d 'C:' /f >/dev/null
    general_start || return 1
    general_click 1059 || return 1
    local found
    found=$(find "$WINEPREFIX/drive_c/users" -ipath '*/startup/ZorvanHAgent.lnk' 2>/dev/null | head -1)
    [ -n "$found" ] || e2e_fail "a short folder value was not ignored" || return 1
    general_click 1059 || return 1
    [ ! -e "$found" ] || e2e_fail "unchecking left $found" || return 1
    rm -rf "$folder"
    tray_unload "$GENERAL_AGENT"
}

general_check() {
    tray_driver send "hwnd:$(general_control "$1")" $BM_GETCHECK | tr -d '\r'
}

general_check_is() {
    [ "$(general_check "$1")" = "$2" ]
}

# The service's configuration event: the page re-reads the service whether
# or not it is on show, and its controls from the registry while it is the
# page on show, which it stays while the preferences window is hidden.
case_general_service_events() {
    e2e_sim_start default.scn "data-settings folder=D:\\Before\\ hold=30" || return 1
    general_start || return 1
    general_expect_text 1002 'D:\Before\' || return 1
    e2e_simctl data-settings folder='D:\After\' hold=45 >/dev/null
    e2e_simctl signal conf >/dev/null
    general_wait_text 1002 'D:\After\' ||
        e2e_fail "the configuration event did not refresh the hidden page" || return 1
    general_expect_text 1071 "$HOLD_TEXT 45 Sec" || return 1
    e2e_wine reg add "$GENERAL_KEY" /v ShowMonitorWindows /t REG_BINARY /d 01 /f >/dev/null
    e2e_simctl signal conf >/dev/null
    e2e_until 40 general_check_is 1061 0x1 ||
        e2e_fail "the page on show, hidden with its window, did not reload \"Show monitor windows\"" || return 1

    # Another page on show: the General page re-reads the service only.
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select 3 || return 1
    IFACES_PAGE=$(prefs_page_with 1029) || e2e_fail "no Interface(s) page" || return 1
    ifaces_wait_list || return 1
    e2e_wine reg add "$GENERAL_KEY" /v ShowMonitorWindows /t REG_BINARY /d 00 /f >/dev/null
    e2e_simctl data-settings folder='D:\Again\' >/dev/null
    # A new name is a configuration event; the page on show lists it once
    # the watcher has passed every page.
    e2e_simctl set-interface wlan "name=Wireless Adapter Renamed" >/dev/null
    e2e_until 40 faults_page_lists "Wireless Adapter Renamed" ||
        e2e_fail "the Interface(s) page did not list the new name" || return 1
    general_wait_text 1002 'D:\Again\' || e2e_fail "the General page did not re-read the service" || return 1
    general_check_is 1061 0x1 || e2e_fail "a page not on show reloaded its check boxes" || return 1
    tray_unload "$GENERAL_AGENT"
}

run_general_first_load() { general_case case_general_first_load; }
run_general_service_stopped() { general_case case_general_service_stopped; }
run_general_hold_slider() { general_case case_general_hold_slider; }
run_general_startup_shortcut() { general_case case_general_startup_shortcut; }
run_general_service_events() { general_case case_general_service_events; }

e2e_case general-first-load run_general_first_load
e2e_case general-service-stopped run_general_service_stopped
e2e_case general-hold-slider run_general_hold_slider
e2e_case general-startup-shortcut run_general_startup_shortcut
e2e_case general-service-events run_general_service_events
