# The notification-area icon and its menu, inside a wine virtual desktop
# whose taskbar holds the icon.

# One virtual desktop for the whole run: making one takes wine's explorer
# seconds, and a driver thread that sits on it keeps it between cases.
TRAY_DESKTOP=ZorvanHTray
TRAY_MAIN="ZorvanHAgent Preferences - "
TRAY_MENU_CLASS="#32768"
VK_RETURN=0x0D
VK_ESCAPE=0x1B
VK_UP=0x26
VK_DOWN=0x28
VK_RIGHT=0x27
# The menu items' underlined letters, as virtual keys.
KEY_PREFERENCES=0x50
KEY_DISABLE=0x44
KEY_ENABLE=0x45
KEY_ABOUT=0x41
KEY_HELP=0x48
KEY_UNLOAD=0x55

tray_driver() {
    e2e_driver "$@" --desktop "$TRAY_DESKTOP"
}

# The agent is started on the tray desktop; E2E_LAST_PID is its own
# process, not the launcher's.
tray_agent_start() {
    E2E_DESKTOP=$TRAY_DESKTOP
    (cd "$E2E_BIN" && exec "$E2E_WINE_OWN" explorer "/desktop=$TRAY_DESKTOP,1280x800" ZorvanHAgent.exe) >>"$E2E_LOG" 2>&1 &
    # A driver restarted since the last start holds it anew.
    e2e_driver hold-desktop "$TRAY_DESKTOP" --timeout 20000 >/dev/null ||
        e2e_fail "no virtual desktop $TRAY_DESKTOP" || return 1
    tray_driver wait-window "$E2E_EXIT_WINDOW" --timeout 15000 >/dev/null ||
        e2e_fail "no exit window on the virtual desktop" || return 1
    E2E_LAST_PID=$(e2e_agent_unix_pid)
    [ -n "$E2E_LAST_PID" ] || e2e_fail "no agent process on the virtual desktop" || return 1
    E2E_AGENT_PIDS+=("$E2E_LAST_PID")
    e2e_log "agent pid $E2E_LAST_PID on $TRAY_DESKTOP"
    # The icon is added once the main dialog's loop runs.
    tray_expect_tip "ZorvanHAgent is enabled"
}

# tray_agent_ended <pid>: the agent's process ends once its windows went.
tray_agent_ended() {
    e2e_wait_exit "$1" 10 || { e2e_fail "agent $1 still running after its windows went"; e2e_kill_own "$1"; return 1; }
}

tray_unload() {
    tray_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null ||
        e2e_fail "exit window does not take 0x8065" || return 1
    tray_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null ||
        e2e_fail "agent did not unload" || return 1
    tray_agent_ended "$1"
}

# tray_unload_left <pid>: an agent that a failed case left running (an
# empty pid: none was started) is unloaded, without a word.
tray_unload_left() {
    if [ -n "$1" ] && kill -0 "$1" 2>/dev/null; then
        tray_unload "$1" >/dev/null 2>&1
    fi
}

# tray_expect_tip <text> [absent]: the shell's tooltips hold (or lack) it.
tray_expect_tip() {
    local tries=0 tips
    while [ $tries -lt 40 ]; do
        tips=$(tray_driver tooltips | tr -d '\r')
        if [ "${2:-}" = absent ]; then
            printf '%s\n' "$tips" | grep -qxF "$1" || return 0
        else
            printf '%s\n' "$tips" | grep -qxF "$1" && return 0
        fi
        sleep 0.25
        tries=$((tries + 1))
    done
    [ "${2:-}" = absent ] && e2e_fail "tray tip \"$1\" still shown" && return 1
    e2e_fail "no tray tip \"$1\" (tips: $(printf '%s' "$tips" | tr '\n' '|'))"
}

# Opens the menu as a right click on the icon does; prints the menu's hwnd.
tray_open_menu() {
    tray_driver post "$TRAY_MAIN" 0x80C8 0 0x205 --timeout 3000 >/dev/null ||
        { e2e_fail "main window does not take the tray message"; return 1; }
    local tries=0 menu
    while [ $tries -lt 30 ]; do
        menu=$(tray_driver list-windows | tr -d '\r' |
            awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
        [ -n "$menu" ] && { printf '%s\n' "$menu"; return 0; }
        sleep 0.2
        tries=$((tries + 1))
    done
    e2e_fail "the tray menu did not open"
}

# tray_keys <menu-hwnd> <key>...: one key at a time, as a user types them.
tray_keys() {
    local menu=$1 key
    shift
    for key in "$@"; do
        tray_driver key "hwnd:$menu" "$key" >/dev/null || { e2e_log "menu $menu gone before key $key"; return 1; }
        e2e_sleep_ms 50
    done
}

# tray_menu_close <menu>: Escape until the menu and its submenus are gone;
# a menu closed already is no failure.
tray_menu_close() {
    local n
    for n in 1 2 3; do
        tray_driver key "hwnd:$1" $VK_ESCAPE --timeout 300 >/dev/null || return 0
        e2e_sleep_ms 50
    done
}

# tray_choose <key>...: opens the menu and types the keys. Under wine a menu
# is now and then dismissed a moment after it opens, before the keys; such
# an attempt is made again. A menu walked with arrows holds a focused item
# meanwhile, and once a dismissed one ran that item (a second attempt then
# undid a toggle), so choices are made with the items' letters: one key,
# and nothing focused before it.
tray_choose() {
    local attempt menu
    for attempt in 1 2 3; do
        menu=$(tray_open_menu) || return 1
        tray_keys "$menu" "$@" && return 0
        e2e_log "menu dismissed before the choice, attempt $attempt"
        sleep 0.5
    done
    return 1
}

# tray_pixel <x> <y> <shot>: prints "r g b".
tray_pixel() {
    /usr/bin/convert "$E2E_ARTIFACTS/$3.png" -crop "1x1+$1+$2" -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}

case_tray_menu() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID before menu rect
    before=$(e2e_simctl count 1)
    menu=$(tray_open_menu) || return 1
    sleep 0.5
    e2e_shot tray-menu
    # Every opening lists the interfaces for the "&Monitors" submenu.
    e2e_wait_count 1 $((before + 1)) 3 || return 1
    rect=$(tray_driver window-rect "hwnd:$menu" | tr -d '\r')
    read -r left top right bottom <<<"$rect"
    # Left of the caption, which runs up the banner's middle.
    local height=$((bottom - top)) x=$((left + 4)) rgb_top rgb_mid
    [ "$height" -gt 150 ] && [ $((right - left)) -gt 100 ] ||
        e2e_fail "tray menu of $rect is too small for ten items" || return 1
    # The banner runs from dark blue at the top to light blue at the bottom.
    rgb_top=$(tray_pixel "$x" $((top + 6)) tray-menu)
    rgb_mid=$(tray_pixel "$x" $((bottom - 8)) tray-menu)
    read -r r1 g1 b1 <<<"$rgb_top"
    read -r r2 g2 b2 <<<"$rgb_mid"
    [ "$b1" -gt "$r1" ] && [ "$r1" -ge 56 ] && [ "$r1" -le 90 ] && [ "$b1" -ge 120 ] ||
        e2e_fail "banner top is $rgb_top, not dark blue" || return 1
    [ "$r2" -gt "$r1" ] && [ "$b2" -gt "$b1" ] ||
        e2e_fail "banner does not lighten downwards ($rgb_top, then $rgb_mid)" || return 1

    tray_keys "$menu" $VK_DOWN $VK_DOWN $VK_DOWN $VK_RIGHT || e2e_fail "the menu closed before its submenu opened" || return 1
    sleep 0.5
    local open
    open=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible"' | wc -l)
    e2e_shot tray-monitors
    [ "$open" -ge 2 ] || e2e_fail "the \"&Monitors\" submenu did not open" || return 1
    tray_keys "$menu" $VK_ESCAPE $VK_ESCAPE || e2e_fail "the menu closed by itself" || return 1
    sleep 0.5
    e2e_ledger_clean 1 || return 1
    tray_unload "$agent"
}

case_tray_enable_disable() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID menu
    e2e_shot tray-enabled
    tray_choose $KEY_DISABLE || e2e_fail "the menu did not take the choice" || return 1
    tray_expect_tip "ZorvanHAgent is disabled" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" absent || return 1
    sleep 0.3
    e2e_shot tray-disabled
    local changed shot
    for shot in tray-enabled tray-disabled; do
        /usr/bin/convert "$E2E_ARTIFACTS/$shot.png" -crop 64x32+1216+768 +repage "$E2E_TMP/$shot-icon.png"
    done
    changed=$(/usr/bin/compare -metric AE "$E2E_TMP/tray-enabled-icon.png" "$E2E_TMP/tray-disabled-icon.png" null: 2>&1)
    [ "${changed%% *}" -gt 20 ] 2>/dev/null || e2e_fail "tray icon looks the same when disabled ($changed)" || return 1
    menu=$(tray_open_menu) || return 1
    sleep 0.3
    e2e_shot tray-menu-disabled
    tray_keys "$menu" $VK_DOWN $VK_DOWN $VK_DOWN $VK_DOWN $VK_RETURN || e2e_fail "the menu did not take the choice" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" || return 1
    tray_unload "$agent"
}

case_tray_unload_question() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID menu
    tray_choose $KEY_UNLOAD || e2e_fail "the menu did not take the choice" || return 1
    local out text
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout 5000) || e2e_fail "no unload question" || return 1
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^text=//p')
    [ "$text" = "ZorvanHAgent will be unloaded. Are you sure?" ] ||
        e2e_fail "unload question says \"$text\"" || return 1
    e2e_shot tray-unload-question
    tray_driver press "$E2E_TITLE" 7 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer No" || return 1
    sleep 1
    tray_driver wait-window "$E2E_EXIT_WINDOW" --timeout 1000 >/dev/null ||
        e2e_fail "the agent unloaded although the answer was No" || return 1
    tray_choose $KEY_UNLOAD || e2e_fail "the menu did not take the choice" || return 1
    tray_driver msgbox "$E2E_TITLE" --timeout 5000 >/dev/null || e2e_fail "no second unload question" || return 1
    tray_driver press "$E2E_TITLE" 6 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer Yes" || return 1
    tray_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null || e2e_fail "Yes did not unload" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" absent || return 1
    tray_agent_ended "$agent"
    e2e_ledger_clean 2
}

case_tray_help_missing() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID menu out text wanted
    wanted="Help File: $(e2e_winpath "$E2E_BIN")\\ZorvanHMonitorManual.chm, was not found or corrupted!"
    tray_choose $KEY_HELP || e2e_fail "the menu did not take the choice" || return 1
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout 8000) || e2e_fail "no message about the missing manual" || return 1
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^text=//p')
    e2e_shot tray-help-missing
    # Wine names the same folder with either letter case of the drive.
    [ "${text,,}" = "${wanted,,}" ] || e2e_fail "help message says \"$text\", not \"$wanted\"" || return 1
    tray_driver press "$E2E_TITLE" 1 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot press OK" || return 1
    tray_unload "$agent"
}

case_tray_shell_restart() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    tray_driver tray-delete "$TRAY_MAIN" >/dev/null || e2e_fail "cannot remove the icon" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" absent || return 1
    tray_driver post "$TRAY_MAIN" name:TaskbarCreated --timeout 3000 >/dev/null ||
        e2e_fail "cannot announce a new taskbar" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" || return 1
    tray_unload "$agent"
}

case_tray_about() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID menu version count
    for _ in 1 2; do
        tray_choose $KEY_ABOUT || e2e_fail "the menu did not take the choice" || return 1
        tray_driver wait-window "About ZorvanHAgent" --timeout 5000 >/dev/null || e2e_fail "no About box" || return 1
    done
    # Asking again brings the open box forward instead of a second one.
    count=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' '$5 == "About ZorvanHAgent"' | wc -l)
    [ "$count" = 1 ] || e2e_fail "$count About boxes open" || return 1
    version=$(tray_driver text "About ZorvanHAgent" 1601 | tr -d '\r')
    [ "$version" = "Version 1.0.0" ] || e2e_fail "About box shows \"$version\"" || return 1
    e2e_shot tray-about
    tray_driver press "About ZorvanHAgent" 1 >/dev/null || e2e_fail "cannot press OK" || return 1
    tray_driver wait-gone "About ZorvanHAgent" --timeout 3000 >/dev/null || e2e_fail "About box stays" || return 1
    # An About box open at unload goes with the agent.
    tray_choose $KEY_ABOUT || e2e_fail "the menu did not take the choice" || return 1
    tray_driver wait-window "About ZorvanHAgent" --timeout 5000 >/dev/null || e2e_fail "no About box" || return 1
    tray_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null || e2e_fail "exit window does not take 0x8065" ||
        return 1
    tray_driver wait-gone "About ZorvanHAgent" --timeout 10000 >/dev/null || e2e_fail "About box outlived the agent" ||
        return 1
    tray_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null || e2e_fail "agent did not unload" || return 1
    tray_agent_ended "$agent"
}

# tray_toggle_state <key>: the state item by its letter, which is D while
# enabled and E while disabled.
tray_toggle_state() {
    tray_choose "$1" || e2e_fail "the menu did not take the choice"
}

# Disabling hides the statistics window and enabling brings it back, but
# only when disabling was what closed it. The monitor shows when each
# command is through: it is hidden and shown in the same step.
case_tray_disable_statistics() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    faults_tray_stats_open || return 1
    tray_toggle_state $KEY_DISABLE || return 1
    tray_expect_tip "ZorvanHAgent is disabled" || return 1
    tray_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "disabling left the statistics window" || return 1
    monitor_await "$MONITOR_LAN" hidden || e2e_fail "disabling left the monitor \"$MONITOR_STATE\"" || return 1
    tray_toggle_state $KEY_ENABLE || return 1
    tray_expect_tip "ZorvanHAgent is enabled" || return 1
    tray_driver wait-window "$STATS_WINDOW" --timeout 8000 >/dev/null ||
        e2e_fail "enabling did not bring the statistics window back" || return 1
    monitor_await "$MONITOR_LAN" visible || e2e_fail "enabling left the monitor \"$MONITOR_STATE\"" || return 1

    # Closed by the user before: it stays closed.
    tray_driver press "$STATS_WINDOW" 1 --timeout 3000 >/dev/null || e2e_fail "cannot press \"&Hide\"" || return 1
    tray_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "\"&Hide\" left the window" || return 1
    tray_toggle_state $KEY_DISABLE || return 1
    monitor_await "$MONITOR_LAN" hidden || e2e_fail "disabling left the monitor \"$MONITOR_STATE\"" || return 1
    tray_toggle_state $KEY_ENABLE || return 1
    monitor_await "$MONITOR_LAN" visible || e2e_fail "enabling left the monitor \"$MONITOR_STATE\"" || return 1
    tray_driver wait-window "$STATS_WINDOW" --timeout 2000 >/dev/null &&
        e2e_fail "enabling opened a statistics window the user had closed" && return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$agent"
}

# tray_boxes: how many unload questions are on screen.
tray_boxes() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v t="$E2E_TITLE" '$4 == "#32770" && $5 == t && $3 == "visible"' | wc -l
}

tray_boxes_are() {
    [ "$(tray_boxes)" = "$1" ]
}

# While the unload question is open the menu still opens, and choosing
# "&Unload ZorvanHAgent" again asks nothing more.
case_tray_unload_asked_once() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    tray_choose $KEY_UNLOAD || e2e_fail "the menu did not take the choice" || return 1
    tray_driver msgbox "$E2E_TITLE" --timeout 5000 >/dev/null || e2e_fail "no unload question" || return 1
    tray_choose $KEY_UNLOAD || e2e_fail "the second menu did not take the choice" || return 1
    e2e_until 8 tray_boxes_are 2 && e2e_fail "the unload question was asked twice" && return 1
    tray_boxes_are 1 || e2e_fail "$(tray_boxes) unload questions on screen" || return 1
    tray_driver press "$E2E_TITLE" 7 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer No" || return 1
    e2e_until 12 tray_boxes_are 0 || e2e_fail "the question stayed after No" || return 1
    tray_driver wait-window "$E2E_EXIT_WINDOW" --timeout 1000 >/dev/null || e2e_fail "No unloaded the agent" || return 1
    # Answered, the question may come again.
    tray_choose $KEY_UNLOAD || e2e_fail "the menu did not take the choice" || return 1
    tray_driver msgbox "$E2E_TITLE" --timeout 5000 >/dev/null || e2e_fail "no question after the first was answered" || return 1
    tray_driver press "$E2E_TITLE" 6 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer Yes" || return 1
    tray_until_gone 10 || e2e_fail "Yes did not unload" || return 1
    e2e_wait_exit "$agent" 3 || e2e_kill_own "$agent"
}

# tray_submenu_rect <fault...>: with that fault on request 1 (none: no
# fault), opens "&Monitors", saves its picture as tray-submenu-<n> and sets
# TRAY_SUBMENU to "left top right bottom". With a fault, Enter on its one
# line must open no window. The menu is closed at the end.
tray_submenu_rect() {
    local menu sub shot="tray-submenu-$TRAY_SUBMENU_SHOTS" before after
    TRAY_SUBMENU_SHOTS=$((TRAY_SUBMENU_SHOTS + 1))
    e2e_simctl clear-fault all >/dev/null
    # shellcheck disable=SC2068 # a fault is its words
    [ $# = 0 ] || e2e_simctl fault "$@" code=1 >/dev/null || e2e_fail "simulator refused the fault $*" || return 1
    menu=$(tray_open_menu) || return 1
    tray_keys "$menu" $VK_DOWN $VK_DOWN $VK_DOWN $VK_RIGHT || e2e_fail "the menu closed before its submenu opened" || return 1
    e2e_until 12 tray_submenu_open "$menu" || e2e_fail "the \"&Monitors\" submenu did not open" || return 1
    TRAY_SUBMENU=$(tray_driver window-rect "hwnd:$TRAY_SUBMENU_HWND" | tr -d '\r')
    e2e_shot "$shot"
    read -r left top right bottom <<<"$TRAY_SUBMENU"
    /usr/bin/convert "$E2E_ARTIFACTS/$shot.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        "$E2E_TMP/$shot.png"
    TRAY_SUBMENU_PICTURE="$E2E_TMP/$shot.png"
    if [ $# != 0 ]; then
        before=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' '$3 == "visible" && $4 != "#32768"' | wc -l)
        tray_keys "$menu" $VK_RETURN
        after=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' '$3 == "visible" && $4 != "#32768"' | wc -l)
    fi
    tray_menu_close "$menu"
    e2e_simctl clear-fault all >/dev/null
    [ "${after:-0}" -le "${before:-0}" ] || e2e_fail "the message line opened a window ($*)"
}

tray_submenu_open() {
    TRAY_SUBMENU_HWND=$(tray_driver list-windows | tr -d '\r' |
        awk -F'\t' -v c="$TRAY_MENU_CLASS" -v m="$1" '$4 == c && $3 == "visible" && $1 != m { print $1; exit }')
    [ -n "$TRAY_SUBMENU_HWND" ]
}

# The "&Monitors" submenu tells why it lists no interface in one grey line
# that cannot be chosen, a different line for a stopped service, a wrong
# version, an error and an empty list; every reply goes back.
case_tray_monitors_messages() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID listed state pictures=() heights=() i j
    TRAY_SUBMENU_SHOTS=0
    tray_submenu_rect || return 1
    read -r _ top _ bottom <<<"$TRAY_SUBMENU"
    listed=$((bottom - top))
    for state in not-started wrong-version "status status=0xC0FE0001" "truncate bytes=8"; do
        # shellcheck disable=SC2086 # a fault is its words
        tray_submenu_rect $state || return 1
        read -r _ top _ bottom <<<"$TRAY_SUBMENU"
        heights+=($((bottom - top)))
        pictures+=("$TRAY_SUBMENU_PICTURE")
    done
    e2e_log "submenu heights: $listed with two adapters, ${heights[*]} with a message"
    for i in 0 1 2 3; do
        [ "${heights[$i]}" = "${heights[0]}" ] && [ "${heights[$i]}" -lt "$listed" ] ||
            e2e_fail "submenu heights ${heights[*]} with a message, $listed with two adapters" || return 1
        for ((j = i + 1; j < 4; j++)); do
            /usr/bin/compare -metric AE "${pictures[$i]}" "${pictures[$j]}" null: >/dev/null 2>&1 &&
                e2e_fail "message lines $i and $j look the same" && return 1
        done
    done
    e2e_ledger_clean 2 || return 1
    tray_unload "$agent"
}

tray_run_exit_window_busy() { case_tray_unload_busy exit; }

# tray_menu_at <x> <y>: the open menu's top-left corner is there.
tray_menu_at() {
    local menu rect
    menu=$(tray_driver list-windows | tr -d '\r' |
        awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
    [ -n "$menu" ] || return 1
    rect=$(tray_driver window-rect "hwnd:$menu" | tr -d '\r')
    TRAY_MENU_SEEN="$menu $rect"
    [ "${rect% * *}" = "$1 $2" ]
}

# The menu opens where the click was, although the service takes its time
# with the interface list and the mouse has moved on meanwhile.
case_tray_menu_cursor() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID before
    e2e_simctl request-delay 1 2500 >/dev/null || e2e_fail "simulator refused the delay" || return 1
    xdotool mousemove 300 260 || e2e_fail "cannot move the mouse" || return 1
    before=$(e2e_simctl count 1)
    tray_driver post "$TRAY_MAIN" 0x80C8 0 0x205 --timeout 3000 >/dev/null || e2e_fail "no tray click" || return 1
    e2e_wait_count 1 $((before + 1)) 3 || return 1
    xdotool mousemove 900 500
    e2e_until 40 tray_menu_at 300 260 || e2e_fail "the menu is not at the click: ${TRAY_MENU_SEEN:-none}" || return 1
    tray_keys "${TRAY_MENU_SEEN%% *}" $VK_ESCAPE
    e2e_simctl request-delay 1 0 >/dev/null
    # The menu hands its list back once it has closed: judged after the end.
    tray_unload "$agent" || return 1
    e2e_ledger_clean 2
}

# tray_until_gone <seconds>: the agent's single-instance mutex, closed as the
# last step of its shutdown, is gone within that time.
tray_until_gone() {
    local start=$SECONDS
    while tray_driver mutex-exists ZorvanHAgentMtStillRunning >/dev/null; do
        [ $((SECONDS - start)) -lt "$1" ] || return 1
        sleep 0.25
    done
}

# Unloading from the menu (or, with "exit", through the exit window, which
# closes nothing first) while two monitors sample, the statistics window
# waits for a slow request and the refresh may be showing or hiding windows:
# the agent ends within seconds and hands every reply back.
case_tray_unload_busy() {
    local scenario="$E2E_TMP/unload-busy.scn" agent before window STATS_DRIVER=tray_driver
    monitor_two_scenario "$scenario"
    e2e_sim_start "$scenario" || return 1
    tray_agent_start || return 1
    agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_open 1 "$MONITOR_WLAN" || return 1
    faults_tray_stats_open || return 1
    stats_expect 1001 "$MONITOR_LAN" || return 1
    # Each overall request of the statistics window now takes 3 s, so one is
    # on its way when the answer comes.
    e2e_simctl request-delay 2 3000 >/dev/null || e2e_fail "simulator refused the delay" || return 1
    before=$(e2e_simctl count 2)
    e2e_wait_count 2 $((before + 1)) 5 || return 1
    e2e_simctl signal status >/dev/null
    if [ "${1:-}" = exit ]; then
        tray_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null || e2e_fail "exit window does not take 0x8065" ||
            return 1
    else
        tray_choose $KEY_UNLOAD || e2e_fail "the menu did not take the choice" || return 1
        tray_driver msgbox "$E2E_TITLE" --timeout 5000 >/dev/null || e2e_fail "no unload question" || return 1
        tray_driver press "$E2E_TITLE" 6 --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer Yes" || return 1
    fi
    tray_until_gone 10 || e2e_fail "the agent still runs 10 s after the unload" || return 1
    for window in "$MONITOR_LAN" "$MONITOR_WLAN" "$STATS_WINDOW" "$E2E_EXIT_WINDOW"; do
        [ -z "$(monitor_rows "$window")" ] || e2e_fail "\"$window\" outlived the agent" || return 1
    done
    e2e_wait_exit "$agent" 3 || e2e_kill_own "$agent"
    e2e_ledger_clean 4
}

e2e_case tray-menu case_tray_menu
e2e_case tray-enable-disable case_tray_enable_disable
e2e_case tray-unload-question case_tray_unload_question
e2e_case tray-help-missing case_tray_help_missing
e2e_case tray-shell-restart case_tray_shell_restart
e2e_case tray-about case_tray_about
e2e_case tray-unload-busy case_tray_unload_busy
e2e_case tray-exit-window-busy tray_run_exit_window_busy
e2e_case tray-menu-cursor case_tray_menu_cursor
e2e_case tray-disable-statistics case_tray_disable_statistics
e2e_case tray-unload-asked-once case_tray_unload_asked_once
e2e_case tray-monitors-messages case_tray_monitors_messages
