# Monitor windows opened from the tray's "&Monitors" submenu, on the wine
# virtual desktop of the tray cases (tray.sh provides tray_agent_start,
# tray_choose and tray_driver).

MONITOR_LAN="Gigabit Ethernet Adapter (PCI)"
MONITOR_LAN_ID="{4D36E972-E325-11CE-BFC1-08002BE10318}"
MONITOR_WLAN="Wireless LAN Adapter 802.11g"
MONITOR_WLAN_ID="{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}"
MONITORS_KEY='HKLM\Software\Merovax\ZorvanHAgent\Monitors'
LAN_KEY="$MONITORS_KEY\\0000"

# monitor_two_scenario <file>: a scenario of the two monitorable adapters,
# both connected and busy.
monitor_two_scenario() {
    {
        echo "first-word 0x00010002"
        echo "add-interface lan name=\"$MONITOR_LAN\" id=$MONITOR_LAN_ID flags=supported,connected,bound,binding-active" \
            "rx-rate=5000000 tx-rate=2000000 connections=1"
        echo "add-interface wlan name=\"$MONITOR_WLAN\" id=$MONITOR_WLAN_ID flags=supported,connected,bound,binding-active" \
            "rx-rate=900000 tx-rate=150000 connections=1"
    } >"$1"
}

# monitor_open <position in the submenu, from 0> <title>
monitor_open() {
    local keys=($VK_DOWN $VK_DOWN $VK_DOWN $VK_RIGHT) i
    for ((i = 0; i < $1; i++)); do keys+=($VK_DOWN); done
    tray_choose "${keys[@]}" $VK_RETURN || e2e_fail "the menu did not take the choice" || return 1
    # The window is made hidden and shown once placed: wait for what the
    # user sees.
    tray_driver wait-shown "$2" --timeout 8000 >/dev/null || e2e_fail "no monitor window \"$2\" on show"
}

monitor_close() {
    tray_driver send "$1" 0x0010 --timeout 3000 >/dev/null || e2e_fail "monitor \"$1\" does not take WM_CLOSE" || return 1
    tray_driver wait-gone "$1" --timeout 5000 >/dev/null || e2e_fail "monitor \"$1\" stays after WM_CLOSE"
}

# monitor_rows <caption>: the visible/hidden column of every window so named.
monitor_rows() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$1" '$5 == c { print $3 }'
}

monitor_agent_pid() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$E2E_EXIT_WINDOW" '$5 == c { print $2; exit }'
}

# The flags a monitor starts with, in the store's order; a key made here
# must carry them all, as a missing flag reads as off.
MONITOR_DEFAULT_FLAGS="HideWindowTitle=0 ShowWindowOnTop=1 ShowMaxSpeedText=1 ShowCurPeakText=1 ShowMaxPeakText=1
EnableHorizontalLines=1 EnableVerticalLines=0 EnableTimeArrow=1 EnableConnectionTimeText=0
DontConsiderHardwareHeaders=1 EnableBoldTextsOnWindow=0 MakeWindowTrasparentForMouse=0 MakeSendReceiveScaleEqual=0
PopupWhenConnected=0 HideWhenDisconnected=0 EnableBytesPerSecond=1"

# monitor_place <subkey> <id> <left> <top> <right> <bottom> [flag...]: a
# stored monitor at that place, with the default flags and each named flag
# switched on; one import, as a reg call per value takes a while.
monitor_place() {
    local file="$E2E_TMP/monitor-$1.reg" hex="01,00,00,00" v pair name value
    for v in "$3" "$4" "$5" "$6"; do
        hex+=$(printf ',%02x,%02x,%02x,%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))
    done
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\Monitors\\%s]\r\n' "$1"
        printf '"Name"="%s"\r\n"SizePositionWindow"=hex:%s\r\n' "$2" "$hex"
        for pair in $MONITOR_DEFAULT_FLAGS; do
            name=${pair%=*}
            value=${pair#*=}
            [[ " ${*:7} " == *" $name "* ]] && value=1
            printf '"%s"=hex:0%s\r\n' "$name" "$value"
        done
    } >"$file"
    e2e_wine reg import "$(e2e_winpath "$file")" >/dev/null 2>&1 || e2e_fail "cannot import $file"
}

# monitor_lit <shot> <x0> <x1> <y>: pixels of that row that belong to a bar
# (the diagram's background and grid are black and dark blue, its bars run
# from green to red).
monitor_lit() {
    /usr/bin/convert "$E2E_ARTIFACTS/$1.png" -crop "$(($3 - $2))x1+$2+$4" +repage -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 + $2 > 150 { n++ } END { print n + 0 }'
}

# monitor_wait_lit <shot> <at-least|at-most> <count> <seconds> [y]: takes
# screenshots until the diagram's row y (default MONITOR_Y) has that many
# lit pixels; sets MONITOR_LIT to the last count. The diagram moves once a
# second, so this waits for what a user would see rather than for a time.
monitor_wait_lit() {
    local shot=$1 how=$2 count=$3 until=$((SECONDS + $4)) y=${5:-$MONITOR_Y}
    while :; do
        e2e_shot "$shot"
        MONITOR_LIT=$(monitor_lit "$shot" "$MONITOR_X0" "$MONITOR_X1" "$y")
        case $how in
            at-least) [ "$MONITOR_LIT" -ge "$count" ] && return 0 ;;
            at-most) [ "$MONITOR_LIT" -le "$count" ] && return 0 ;;
        esac
        [ $SECONDS -lt $until ] || return 1
        e2e_sleep_ms 200
    done
}

# monitor_await_rows <title> <rows>: the windows so named show as wanted
# (visible, hidden) within 5 s; sets MONITOR_STATE.
monitor_await_rows() {
    local until=$((SECONDS + 5))
    until MONITOR_STATE=$(monitor_rows "$1"); [ "$MONITOR_STATE" = "$2" ]; do
        [ $SECONDS -lt $until ] || return 1
        e2e_sleep_ms 100
    done
}

# Sets MONITOR_X0, MONITOR_X1 (a span of the right part of the diagram, clear
# of the texts at the left) and MONITOR_Y (a row inside the lower half).
monitor_geometry() {
    local rect
    rect=$(tray_driver window-rect "$1" | tr -d '\r') || { e2e_fail "no rectangle for \"$1\""; return 1; }
    read -r MONITOR_LEFT MONITOR_TOP MONITOR_RIGHT MONITOR_BOTTOM <<<"$rect"
    MONITOR_X1=$((MONITOR_RIGHT - 6))
    MONITOR_X0=$((MONITOR_X1 - 60))
    # Above the time arrow's strip and the bottom text line, below the
    # middle of the window.
    MONITOR_Y=$((MONITOR_BOTTOM - 34))
    # Below the caption, in the upper (send) half.
    MONITOR_Y_SEND=$((MONITOR_TOP + 40))
}

case_monitor_open() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID first second rows
    monitor_open 0 "$MONITOR_LAN" || return 1
    rows=$(monitor_rows "$MONITOR_LAN")
    [ "$rows" = visible ] || e2e_fail "monitor window rows: \"$rows\"" || return 1
    monitor_geometry "$MONITOR_LAN" || return 1
    [ $((MONITOR_RIGHT - MONITOR_LEFT)) = 200 ] && [ $((MONITOR_BOTTOM - MONITOR_TOP)) = 128 ] ||
        e2e_fail "monitor opened at $MONITOR_LEFT $MONITOR_TOP $MONITOR_RIGHT $MONITOR_BOTTOM, not 200 x 128" || return 1
    # One column a second, newest at the right.
    monitor_wait_lit monitor-open-1 at-least 2 8 || e2e_fail "no bars after 8 s ($MONITOR_LIT lit pixels)" || return 1
    first=$MONITOR_LIT
    monitor_wait_lit monitor-open-2 at-least $((first + 2)) 8 ||
        e2e_fail "bars do not advance ($first, then $MONITOR_LIT)" || return 1
    second=$MONITOR_LIT
    e2e_log "bar pixels: $first, then $second"
    # Choosing the interface again brings the same window forward.
    monitor_open 0 "$MONITOR_LAN" || return 1
    rows=$(monitor_rows "$MONITOR_LAN" | wc -l)
    [ "$rows" = 1 ] || e2e_fail "$rows monitor windows after choosing the interface twice" || return 1
    e2e_ledger_clean 2 || return 1
    tray_driver send "$E2E_EXIT_WINDOW" 0x8065 --timeout 8000 >/dev/null || e2e_fail "exit window does not take 0x8065" ||
        return 1
    tray_driver wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null || e2e_fail "agent did not unload" || return 1
    tray_driver wait-gone "$MONITOR_LAN" --timeout 5000 >/dev/null || e2e_fail "monitor window outlived the agent" || return 1
    tray_agent_ended "$agent"
}

case_monitor_disconnect() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID a b c d
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_geometry "$MONITOR_LAN" || return 1
    monitor_wait_lit monitor-history at-least 2 8 || e2e_fail "no bars after 8 s ($MONITOR_LIT lit pixels)" || return 1
    e2e_simctl set-interface lan connected=0 >/dev/null || e2e_fail "simulator refused the disconnect" || return 1
    # Standing still is seen only over time: two pictures two seconds apart,
    # the first once the status change has surely been read.
    sleep 1.5
    e2e_shot monitor-disconnected-1
    sleep 2
    e2e_shot monitor-disconnected-2
    a=$(monitor_lit monitor-disconnected-1 "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y")
    b=$(monitor_lit monitor-disconnected-2 "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y")
    [ "$a" -ge 1 ] && [ "$a" = "$b" ] || e2e_fail "diagram moves while disconnected ($a, then $b)" || return 1
    e2e_simctl set-interface lan connected=1 >/dev/null || e2e_fail "simulator refused the reconnect" || return 1
    monitor_wait_lit monitor-reconnected at-least $((b + 1)) 8 ||
        e2e_fail "diagram does not resume after the reconnect ($b, then $MONITOR_LIT)" || return 1
    e2e_log "bar pixels: disconnected $a and $b, reconnected $MONITOR_LIT"
    # The texts at the bottom left say "Not connected" instead of the speed.
    local w=$((MONITOR_X0 - MONITOR_LEFT)) y=$((MONITOR_BOTTOM - 32))
    for d in monitor-disconnected-1 monitor-reconnected; do
        /usr/bin/convert "$E2E_ARTIFACTS/$d.png" -crop "${w}x14+$MONITOR_LEFT+$y" +repage "$E2E_TMP/$d-text.png"
    done
    d=$(/usr/bin/compare -metric AE "$E2E_TMP/monitor-disconnected-1-text.png" "$E2E_TMP/monitor-reconnected-text.png" null: 2>&1)
    [ "${d%% *}" -gt 10 ] 2>/dev/null || e2e_fail "the bottom text is the same connected and disconnected ($d)" || return 1
    tray_unload "$agent"
}

# The service goes away with its mapping and comes back: the window stays,
# and its diagram moves again once the view is published anew.
case_monitor_service_restart() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID a b
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_geometry "$MONITOR_LAN" || return 1
    monitor_wait_lit monitor-restart-0 at-least 1 8 || e2e_fail "no bars after 8 s" || return 1
    e2e_simctl stop-service for=3 >/dev/null || e2e_fail "simulator refused the stop" || return 1
    # A window wrongly closed with the service would go within a second.
    sleep 1
    [ "$(monitor_rows "$MONITOR_LAN")" = visible ] || e2e_fail "the monitor went with the service" || return 1
    e2e_shot monitor-restart-1
    a=$(monitor_lit monitor-restart-1 "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y")
    monitor_wait_lit monitor-restart-2 at-least $((a + 2)) 15 ||
        e2e_fail "diagram does not resume after the restart ($a, then $MONITOR_LIT)" || return 1
    e2e_log "bar pixels after the restart: $a, then $MONITOR_LIT"
    [ "$(monitor_rows "$MONITOR_LAN" | wc -l)" = 1 ] || e2e_fail "the restart left $(monitor_rows "$MONITOR_LAN" | wc -l) windows" || return 1
    tray_unload "$agent"
}

# monitor_await <title> <visible|hidden>: sets MONITOR_STATE. The refresh
# thread misses a status pulse that comes while it sleeps or refreshes (at
# start-up, after the view is published, it does both), so the status is
# signalled again now and then, as the service would on its next change.
monitor_await() {
    local tries=0
    MONITOR_STATE=$(monitor_rows "$1")
    while [ "$MONITOR_STATE" != "$2" ] && [ $tries -lt 30 ]; do
        [ $((tries % 8)) = 7 ] && e2e_simctl signal status >/dev/null
        sleep 0.25
        tries=$((tries + 1))
        MONITOR_STATE=$(monitor_rows "$1")
    done
    [ "$MONITOR_STATE" = "$2" ]
}

# With "HideWhenDisconnected" and "PopupWhenConnected" the interface's state
# decides whether its monitor is on screen.
case_monitor_hide_popup() {
    e2e_sim_start default.scn || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 300 200 500 328 HideWhenDisconnected PopupWhenConnected || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    e2e_simctl set-interface lan connected=0 >/dev/null || e2e_fail "simulator refused the disconnect" || return 1
    monitor_await "$MONITOR_LAN" hidden || e2e_fail "monitor is \"$MONITOR_STATE\" after the disconnect" || return 1
    e2e_simctl set-interface lan connected=1 >/dev/null || e2e_fail "simulator refused the reconnect" || return 1
    monitor_await "$MONITOR_LAN" visible || e2e_fail "monitor is \"$MONITOR_STATE\" after the reconnect" || return 1
    # Disabling the agent hides it and keeps it from popping up; enabling
    # brings it back.
    tray_choose $KEY_DISABLE || e2e_fail "the menu did not take the choice" || return 1
    tray_expect_tip "ZorvanHAgent is disabled" || return 1
    [ "$(monitor_rows "$MONITOR_LAN")" = hidden ] || e2e_fail "monitor stays on screen while disabled" || return 1
    e2e_simctl set-interface lan connected=0 >/dev/null && sleep 1.5 &&
        e2e_simctl set-interface lan connected=1 >/dev/null && sleep 2
    [ "$(monitor_rows "$MONITOR_LAN")" = hidden ] || e2e_fail "monitor popped up while disabled" || return 1
    tray_choose $KEY_ENABLE || e2e_fail "the menu did not take the choice" || return 1
    tray_expect_tip "ZorvanHAgent is enabled" || return 1
    [ "$(monitor_rows "$MONITOR_LAN")" = visible ] || e2e_fail "monitor not shown again after enabling" || return 1
    tray_unload "$agent"
}

# monitor_measure <name>: "gdi user handles private" of the agent.
monitor_measure() {
    local out
    out=$(tray_driver gui-resources "$1" | tr -d '\r') || { e2e_fail "no resource counts for process $1"; return 1; }
    printf '%s\n' "$out" | sed -n 's/gdi=\([0-9]*\) user=\([0-9]*\) handles=\([0-9]*\) private=\([0-9]*\)/\1 \2 \3 \4/p'
}

case_monitor_close_reopen() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID pid before after i first last
    pid=$(monitor_agent_pid)
    [ -n "$pid" ] || e2e_fail "no process id for the agent" || return 1
    before=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v p="$pid" '$2 == p' | wc -l)
    # The first rounds make what stays for the run (the list's lock, window
    # classes, the heap's own growth).
    for i in 1 2; do
        monitor_open 0 "$MONITOR_LAN" || return 1
        sleep 1.2
        monitor_close "$MONITOR_LAN" || return 1
    done
    first=$(monitor_measure "$pid") || return 1
    # Twenty rounds are enough: a monitor lost each round would add three
    # handles and 80 KB of history a round, past both limits below.
    for i in $(seq 1 "${MONITOR_ROUNDS:-20}"); do
        monitor_open 0 "$MONITOR_LAN" || return 1
        # Now and then long enough for a few samples and paints.
        [ $((i % 10)) = 0 ] && sleep 1.2
        monitor_close "$MONITOR_LAN" || return 1
    done
    after=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v p="$pid" '$2 == p' | wc -l)
    [ "$after" = "$before" ] || e2e_fail "$before windows of the agent before, $after after the rounds" || return 1
    last=$(monitor_measure "$pid") || return 1
    e2e_log "gdi user handles private: $first, then after ${MONITOR_ROUNDS:-20} rounds $last"
    read -r g0 u0 h0 p0 <<<"$first"
    read -r g1 u1 h1 p1 <<<"$last"
    # Wine answers 0 GDI and USER objects; the handles (two threads and an
    # event a round) and the private bytes (80 KB of history a round) are
    # what would show a lost monitor there.
    [ "$g1" -le $((g0 + 4)) ] || e2e_fail "GDI objects grew from $g0 to $g1" || return 1
    [ "$u1" -le $((u0 + 4)) ] || e2e_fail "USER objects grew from $u0 to $u1" || return 1
    [ "$h1" -le $((h0 + 10)) ] || e2e_fail "handles grew from $h0 to $h1" || return 1
    [ "$p1" -le $((p0 + 1572864)) ] || e2e_fail "private bytes grew from $p0 to $p1" || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$agent"
}

# Two monitors side by side, for the documentation's picture.
case_monitor_two_windows() {
    # Two connected interfaces with traffic that varies, and no timed events.
    local scenario="$E2E_TMP/two-monitors.scn"
    {
        echo "first-word 0x00010002"
        echo "add-interface lan name=\"$MONITOR_LAN\" id=$MONITOR_LAN_ID flags=supported,connected,bound,binding-active" \
            "speed=1000000 rx-rate=2400000,3100000,800000,5600000,4200000,1500000,6100000,3300000,2000000,4700000" \
            "tx-rate=300000,450000,120000,900000,650000,200000 connected-seconds=5400 connections=1"
        echo "add-interface wlan name=\"$MONITOR_WLAN\" id=$MONITOR_WLAN_ID flags=supported,connected,bound,binding-active" \
            "speed=540000 rx-rate=900000,1400000,600000,2100000,1700000,300000,2600000" \
            "tx-rate=150000,420000,80000,300000 connected-seconds=600 connections=1"
    } >"$scenario"
    e2e_sim_start "$scenario" || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 40 40 280 180 || return 1
    monitor_place 0001 "$MONITOR_WLAN_ID" 300 40 540 180 || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_open 1 "$MONITOR_WLAN" || return 1
    local a b
    a=$(tray_driver window-rect "$MONITOR_LAN" | tr -d '\r')
    b=$(tray_driver window-rect "$MONITOR_WLAN" | tr -d '\r')
    [ "$a" = "40 40 280 180" ] && [ "$b" = "300 40 540 180" ] ||
        e2e_fail "monitors not at their stored places ($a; $b)" || return 1
    # Both diagrams draw: bars in each window's lower half.
    MONITOR_X0=214 MONITOR_X1=274
    monitor_wait_lit monitor-two-windows at-least 4 10 146 || e2e_fail "no bars in the first monitor" || return 1
    MONITOR_X0=474 MONITOR_X1=534
    monitor_wait_lit monitor-two-windows at-least 4 10 146 || e2e_fail "no bars in the second monitor" || return 1
    /usr/bin/convert "$E2E_ARTIFACTS/monitor-two-windows.png" -crop 520x160+30+30 +repage \
        "$E2E_ARTIFACTS/monitor-windows.png"
    tray_unload "$agent"
}

# monitor_menu <title> <key>...: a right click in the client area opens
# menu 153, then the keys choose from it.
monitor_menu() {
    local title=$1 attempt menu
    shift
    for attempt in 1 2 3; do
        tray_driver post "$title" 0x0204 2 0x00140014 --timeout 3000 >/dev/null &&
            tray_driver post "$title" 0x0205 0 0x00140014 --timeout 3000 >/dev/null ||
            { e2e_fail "monitor \"$title\" does not take the right click"; return 1; }
        local tries=0
        menu=""
        while [ -z "$menu" ] && [ $tries -lt 20 ]; do
            sleep 0.2
            menu=$(tray_driver list-windows | tr -d '\r' |
                awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
            tries=$((tries + 1))
        done
        [ -n "$menu" ] && tray_keys "$menu" "$@" && return 0
        e2e_log "monitor menu not there or dismissed, attempt $attempt"
    done
    e2e_fail "the monitor's menu did not take the choice"
}

case_monitor_menu() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID lit kept cleared send
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_geometry "$MONITOR_LAN" || return 1
    monitor_wait_lit monitor-menu-history at-least 6 10 || e2e_fail "no bars after 10 s" || return 1
    monitor_wait_lit monitor-menu-history at-least 6 10 "$MONITOR_Y_SEND" || e2e_fail "no send bars after 10 s" || return 1
    monitor_menu "$MONITOR_LAN" $VK_DOWN $VK_DOWN $VK_RETURN || return 1
    monitor_await_rows "$MONITOR_LAN" hidden || e2e_fail "\"&Hide\" left the monitor on screen" || return 1
    e2e_shot monitor-menu-before
    # Hidden, the monitor keeps sampling; opening it again shows the same
    # window with its diagram.
    monitor_open 0 "$MONITOR_LAN" || return 1
    monitor_await_rows "$MONITOR_LAN" visible || e2e_fail "opening again did not show the hidden monitor" || return 1
    e2e_shot monitor-menu-shown
    lit=$(monitor_lit monitor-menu-shown "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y")
    send=$(monitor_lit monitor-menu-shown "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y_SEND")
    [ "$lit" -ge 5 ] && [ "$send" -ge 5 ] || e2e_fail "diagram lost while hidden ($lit and $send lit pixels)" || return 1
    # "&Clear diagram" / "&Send" keeps the receive bars of the lower half.
    monitor_menu "$MONITOR_LAN" $VK_UP $VK_RIGHT $VK_RETURN || return 1
    monitor_wait_lit monitor-menu-send-cleared at-most 1 3 "$MONITOR_Y_SEND" ||
        e2e_fail "\"&Send\" left $MONITOR_LIT lit pixels in the send half" || return 1
    kept=$(monitor_lit monitor-menu-send-cleared "$MONITOR_X0" "$MONITOR_X1" "$MONITOR_Y")
    [ "$kept" -ge "$lit" ] || e2e_fail "clearing the send diagram took receive bars ($lit, then $kept)" || return 1
    # "&Both" empties the lower half too; at most a new second comes in.
    monitor_menu "$MONITOR_LAN" $VK_UP $VK_RIGHT $VK_UP $VK_RETURN || return 1
    monitor_wait_lit monitor-menu-cleared at-most 1 3 || e2e_fail "\"&Both\" left $MONITOR_LIT lit pixels" || return 1
    # "&Properties" brings the preferences out of the tray.
    monitor_menu "$MONITOR_LAN" $VK_DOWN $VK_RETURN || return 1
    monitor_await_rows "$TRAY_MAIN" visible || e2e_fail "\"&Properties\" did not show the preferences" || return 1
    tray_unload "$agent"
}

# A monitor set to pop up comes at start-up when the General page asks for
# monitor windows then, at its stored place. The mapping link's first
# publication and the first refresh both come half a second after start, and
# the publication's pulse is lost when it meets the refresh at work, so a
# status signal stands in for the service's next change.
case_monitor_startup() {
    e2e_sim_start default.scn || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 300 200 500 328 PopupWhenConnected || return 1
    e2e_wine reg add "$E2E_AGENT_KEY\\General" /v ShowMonitorWindows /t REG_BINARY /d 01 /f >/dev/null
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    tray_driver wait-shown "$MONITOR_LAN" --timeout 4000 >/dev/null || e2e_simctl signal status >/dev/null
    tray_driver wait-shown "$MONITOR_LAN" --timeout 6000 >/dev/null || e2e_fail "no monitor at start-up" || return 1
    [ "$(tray_driver window-rect "$MONITOR_LAN" | tr -d '\r')" = "300 200 500 328" ] ||
        e2e_fail "the monitor did not open at its stored place" || return 1
    tray_unload "$agent"
}

# monitor_has_caption <title>: WS_CAPTION in the window's style.
monitor_has_caption() {
    local style
    style=$(tray_driver style "$1" | tr -d '\r') || return 2
    [ $((style & 0x00C00000)) = $((0x00C00000)) ]
}

monitor_lacks_caption() {
    monitor_has_caption "$1"
    [ $? = 1 ]
}

# A stored hidden title opens without a caption; a double-click flips it for
# the session and leaves the stored value alone.
case_monitor_caption() {
    e2e_sim_start default.scn || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 300 200 500 328 HideWindowTitle || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    ! monitor_has_caption "$MONITOR_LAN" || e2e_fail "caption shown although \"HideWindowTitle\" is set" || return 1
    tray_driver post "$MONITOR_LAN" 0x0203 1 0x00140014 --timeout 3000 >/dev/null || e2e_fail "no double-click" || return 1
    e2e_until 20 monitor_has_caption "$MONITOR_LAN" || e2e_fail "double-click did not bring the caption" || return 1
    [ "$(e2e_reg_value "$MONITORS_KEY\\0000" HideWindowTitle)" = "REG_BINARY 01" ] ||
        e2e_fail "the caption toggle changed the stored \"HideWindowTitle\"" || return 1
    tray_driver post "$MONITOR_LAN" 0x0203 1 0x00140014 --timeout 3000 >/dev/null || e2e_fail "no double-click" || return 1
    e2e_until 20 monitor_lacks_caption "$MONITOR_LAN" || e2e_fail "second double-click left the caption" || return 1
    tray_unload "$agent"
}

# The harness's teardown looks for the exit window on its own desktop, not
# on the case's virtual one, so a failed case unloads its agent here lest the
# next start find it still running.
for name in open menu disconnect service_restart hide_popup startup caption close_reopen two_windows; do
    eval "monitor_run_$name() { case_monitor_$name && return 0; tray_driver post \"\$E2E_EXIT_WINDOW\" 0x8065 --timeout 2000 >/dev/null 2>&1; return 1; }"
done

e2e_case monitor-open monitor_run_open
e2e_case monitor-menu monitor_run_menu
e2e_case monitor-disconnect monitor_run_disconnect
e2e_case monitor-service-restart monitor_run_service_restart
e2e_case monitor-hide-popup monitor_run_hide_popup
e2e_case monitor-startup monitor_run_startup
e2e_case monitor-caption monitor_run_caption
e2e_case monitor-close-reopen monitor_run_close_reopen
e2e_case monitor-two-windows monitor_run_two_windows
