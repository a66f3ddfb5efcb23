#!/bin/bash
# Runs the agent at 96, 120 ("large fonts") and 144 dots per inch and, for
# every window and dialog it brings up, measures that each control's text
# fits its control and that no two controls lie on each other:
#   tests/dpi/run.sh [bin-dir]        (default build/win32/bin)
# DPI_LIST="120" runs only those settings. Screenshots and logs go to
# out/dpi/<dpi>/ (DPI_ARTIFACTS sets the folder).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(realpath -m "$here/../..")
e2e=$root/tests/e2e
artifacts=${DPI_ARTIFACTS:-$root/out/dpi}
bin=${1:-$root/build/win32/bin}
. "$e2e/lib.sh"

# The case files are read for their helpers (tray, preferences, monitors,
# data files); their cases are not run here.
e2e_case() { :; }
for file in "$e2e"/cases/*.sh; do
    . "$file"
done

# dpi_check <name> <function> [words]: one PASS or FAIL line.
dpi_check() {
    local name=$1
    shift
    E2E_REASON=""
    e2e_log "=== $name"
    "$@" || [ -n "$E2E_REASON" ] || E2E_REASON="check returned $?"
    if [ -z "$E2E_REASON" ]; then
        echo "PASS $name"
    else
        echo "FAIL $name: $E2E_REASON"
    fi
    E2E_REASON=""
}

# dpi_shot <name>: a screenshot once the screen has settled, that is, two
# in a row are alike (within about 2 s), so a window just shown is kept
# painted.
dpi_shot() {
    local tries=0 diff
    e2e_shot "$1"
    while [ $tries -lt 8 ]; do
        cp "$E2E_ARTIFACTS/$1.png" "$E2E_TMP/previous.png" 2>/dev/null || return 0
        e2e_shot "$1"
        diff=$(/usr/bin/compare -metric AE "$E2E_TMP/previous.png" "$E2E_ARTIFACTS/$1.png" null: 2>&1)
        [ "${diff%% *}" = 0 ] && return 0
        tries=$((tries + 1))
    done
}

# dpi_measure <shot> <window>: the screenshot, then the measurement; every
# problem it reports is a failure.
dpi_measure() {
    local out
    dpi_shot "$1"
    out=$(tray_driver measure "$2" --timeout 5000 | tr -d '\r')
    printf '%s\n' "$out" >"$E2E_ARTIFACTS/$1.txt"
    [ -n "$out" ] || { e2e_fail "no measurement of \"$2\""; return 1; }
    printf '%s\n' "$out" | grep -q "^dpi $DPI_NOW," ||
        { e2e_fail "the driver sees $(printf '%s\n' "$out" | tail -1), not dpi $DPI_NOW"; return 1; }
    printf '%s\n' "$out" | grep -qv '^dpi ' &&
        { e2e_fail "$(printf '%s\n' "$out" | grep -v '^dpi ' | head -3 | tr '\t\n' ' ;')"; return 1; }
    return 0
}

dpi_tray_menu() {
    local menu
    menu=$(tray_open_menu) || return 1
    dpi_shot tray-menu
    # Seven items with text: the three separators are no lines of text.
    tray_driver measure-menu "hwnd:$menu" 7 --timeout 3000 >"$E2E_ARTIFACTS/tray-menu.txt"
    local rc=$?
    tray_keys "$menu" $VK_ESCAPE
    [ $rc = 0 ] || e2e_fail "$(tr -d '\r' <"$E2E_ARTIFACTS/tray-menu.txt" | grep -Ev '^(dpi|item)' | head -3 | tr '\t\n' ' ;')"
}

# dpi_page <tree position> <group caption> <shot> [function]: the page,
# measured once the function (if any) has brought it to what a user works
# with.
dpi_page() {
    prefs_select "$1" || return 1
    prefs_expect_page "$2" || return 1
    [ -z "${4:-}" ] || "$4" || return 1
    dpi_measure "$3" "$TRAY_MAIN"
}

# dpi_lists <control id> <list id>: the list, on the page that holds that
# control (the Monitor(s) page has a list 1029 too), shows lines other than
# the one that asks to wait.
dpi_lists() {
    local page
    page=$(prefs_page_with "$1") || return 1
    tray_driver list-items "hwnd:$page" "$2" | tr -d '\r' | awk -F'\t' 'NF && $2 != 9 { found = 1 } END { exit !found }'
}

# The Monitor(s) page with its first interface chosen, so that its
# parameters and colours are filled in.
dpi_monitors_ready() {
    MONPAGE=$(prefs_page_with 1056) || { e2e_fail "no Monitor(s) page"; return 1; }
    # Until then the list holds the line that asks to wait.
    e2e_until 40 eval 'monpage_rows 1029 | cut -f5 | grep -qxF "$MONITOR_LAN"' ||
        e2e_fail "the Monitor(s) page does not list \"$MONITOR_LAN\"" || return 1
    tray_driver lv-select "hwnd:$MONPAGE" 1029 0 on >/dev/null || e2e_fail "cannot choose the first interface" || return 1
    e2e_until 40 eval '[ -n "$(monpage_rows 1030)" ]' || e2e_fail "no parameters for the chosen interface"
}

dpi_interfaces_ready() {
    e2e_until 40 dpi_lists 1036 1029 || e2e_fail "the Interface(s) page lists nothing"
}

# "Bind a&ll supported" binds the one adapter left unbound; the service
# takes its time, so the progress dialog stays to be measured.
dpi_binding() {
    local page dialog
    page=$(prefs_page_with 1036) || { e2e_fail "no Interface(s) page"; return 1; }
    tray_driver press "hwnd:$page" 1030 >/dev/null || e2e_fail "cannot press \"Bind a&ll supported\"" || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    dpi_measure binding "hwnd:$dialog"
    local rc=$?
    ifaces_wait_gone "$dialog" || return 1
    return $rc
}

dpi_movements_ready() {
    e2e_until 40 dpi_lists 1072 1072 || e2e_fail "the Movements page lists nothing"
}

dpi_about() {
    tray_choose $VK_UP $VK_UP $VK_UP $VK_RETURN || e2e_fail "the menu did not take the choice" || return 1
    tray_driver wait-window "About ZorvanHAgent" --timeout 5000 >/dev/null || e2e_fail "no About box" || return 1
    dpi_measure about "About ZorvanHAgent"
    local rc=$?
    tray_driver press "About ZorvanHAgent" 1 >/dev/null
    tray_driver wait-gone "About ZorvanHAgent" --timeout 3000 >/dev/null
    return $rc
}

# The synchronizing dialog stays while the service takes its time over
# request 14, which a new hold time sends.
dpi_synchronizing() {
    local slider caption="ZorvanH Agent is synchronizing..."
    slider=$(general_control 1070)
    tray_driver send "hwnd:$slider" $TBM_SETPOS 1 40 >/dev/null &&
        tray_driver post "hwnd:$GENERAL_PAGE" $WM_HSCROLL $TB_ENDTRACK "$slider" >/dev/null ||
        { e2e_fail "the page did not take the slider's release"; return 1; }
    tray_driver wait-shown "$caption" --timeout 5000 >/dev/null || e2e_fail "no synchronizing dialog" || return 1
    dpi_measure synchronizing "$caption"
    local rc=$?
    tray_driver wait-gone "$caption" --timeout 10000 >/dev/null || e2e_fail "the synchronizing dialog stayed" || return 1
    return $rc
}

# dpi_answer <text> <button>: the agent's message box that says it, answered;
# the box answered before may still be on its way out.
dpi_answer() {
    local until=$((SECONDS + 15)) text=""
    while [ $SECONDS -lt $until ]; do
        text=$(tray_driver msgbox "$E2E_TITLE" --timeout 1000 | tr -d '\r' | sed -n 's/^text=//p')
        [ "$text" = "$1" ] && { df_answer "$2"; return; }
        e2e_sleep_ms 100
    done
    e2e_fail "no message box \"$1\" (last seen: \"$text\")"
}

dpi_data_files() {
    df_open_choice || return 1
    dpi_measure data-files-choice "$DF_CHOICE" || { tray_driver press "$DF_CHOICE" 2 >/dev/null; return 1; }
    tray_driver press "$DF_CHOICE" 1 >/dev/null || e2e_fail "cannot press OK" || return 1
    tray_driver wait-shown "$DF_PROGRESS" --timeout 10000 >/dev/null || e2e_fail "no progress dialog" || return 1
    dpi_measure data-files-progress "$DF_PROGRESS"
    local rc=$?
    tray_driver press "$DF_PROGRESS" 2 >/dev/null || e2e_fail "cannot press Cancel" || return 1
    dpi_answer "Do you want to cancel operation?" 6 || return 1
    dpi_answer "Operation has been canceled!" 1 || return 1
    tray_driver wait-gone "$DF_PROGRESS" --timeout 5000 >/dev/null || e2e_fail "progress dialog left open" || return 1
    return $rc
}

dpi_statistics() {
    tray_driver post "$TRAY_MAIN" 0x80C8 0 0x203 --timeout 3000 >/dev/null ||
        e2e_fail "main window does not take the tray message" || return 1
    tray_driver wait-shown "$STATS_WINDOW" --timeout 8000 >/dev/null || e2e_fail "no statistics window" || return 1
    # Measured once the service's values are in.
    local tries=0
    until [ -n "$(tray_driver text "$STATS_WINDOW" 1008 | tr -d '\r')" ]; do
        tries=$((tries + 1))
        [ $tries -lt 40 ] || break
        sleep 0.25
    done
    dpi_measure statistics "$STATS_WINDOW"
}

dpi_clear_dialog() {
    tray_driver wait-enabled "$STATS_WINDOW" 1015 on --timeout 8000 >/dev/null ||
        e2e_fail "\"Clear &Overall\" stays disabled" || return 1
    tray_driver press "$STATS_WINDOW" 1015 >/dev/null || e2e_fail "cannot press \"Clear &Overall\"" || return 1
    tray_driver wait-shown "$STATS_CLEAR" --timeout 5000 >/dev/null || e2e_fail "no clear dialog" || return 1
    dpi_measure clear-statistics "$STATS_CLEAR"
    local rc=$?
    tray_driver press "$STATS_CLEAR" 2 >/dev/null
    tray_driver wait-gone "$STATS_CLEAR" --timeout 5000 >/dev/null || e2e_fail "the clear dialog stays" || return 1
    return $rc
}

dpi_monitor() {
    monitor_open 0 "$MONITOR_LAN" || return 1
    # A new monitor opens at its default 200 x 128 pixels at any resolution.
    local want="200 x 128"
    monitor_geometry "$MONITOR_LAN" || return 1
    [ "$((MONITOR_RIGHT - MONITOR_LEFT)) x $((MONITOR_BOTTOM - MONITOR_TOP))" = "$want" ] ||
        e2e_fail "the monitor opened $((MONITOR_RIGHT - MONITOR_LEFT)) x $((MONITOR_BOTTOM - MONITOR_TOP)), not $want" ||
        return 1
    monitor_wait_lit monitor at-least 2 8 || e2e_fail "no bars in the monitor after 8 s" || return 1
    # Its texts are painted, not controls: the render check draws them
    # through the same code at this resolution and measures each.
    local out="$E2E_ARTIFACTS/render" result bmp
    mkdir -p "$out"
    result=$(timeout -k 2 60 wine "$E2E_BIN/DiagramRenderCheck.exe" "$(e2e_winpath "$out")" 2>>"$E2E_LOG" | tr -d '\r')
    printf '%s\n' "$result" >"$E2E_ARTIFACTS/monitor.txt"
    for bmp in "$out"/*.bmp; do
        [ -f "$bmp" ] && /usr/bin/convert "$bmp" -strip "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    # Two layouts are measured: the default window and a wider one.
    [ "$(printf '%s\n' "$result" | grep -c "^texts: fit at $DPI_NOW dpi")" = 2 ] ||
        e2e_fail "render check: $(printf '%s\n' "$result" | grep -E 'needs|FAILED|dpi' | head -3 | tr '\n' ';')"
}

# One agent at one setting, through every window it has; an adapter left
# unbound gives the Interface(s) page something to bind.
dpi_session() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\ hold=250' "data-files duration=60000" \
        "request-delay 14 2500" "request-delay 5 2500" "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    e2e_simctl add-interface usb "name=USB Ethernet Adapter" flags=supported >/dev/null ||
        e2e_fail "simulator refused the unbound adapter" || return 1
    general_start || return 1
    dpi_check "$DPI_NOW tray menu" dpi_tray_menu
    tray_choose $VK_DOWN $VK_DOWN $VK_RETURN || e2e_fail "the menu did not take the choice" || return 1
    e2e_until 12 prefs_main_is visible || e2e_fail "no preferences window" || return 1
    dpi_check "$DPI_NOW General page" dpi_page 1 "General Options" preferences-general
    dpi_check "$DPI_NOW synchronizing dialog" dpi_synchronizing
    dpi_check "$DPI_NOW data-files dialogs" dpi_data_files
    dpi_check "$DPI_NOW Monitor(s) page" dpi_page 2 "Monitor(s) Options" preferences-monitors dpi_monitors_ready
    dpi_check "$DPI_NOW Interface(s) page" dpi_page 3 "Network Interface(s)" preferences-interfaces dpi_interfaces_ready
    dpi_check "$DPI_NOW binding dialog" dpi_binding
    dpi_check "$DPI_NOW Movements page" dpi_page 4 "Movements" preferences-movements dpi_movements_ready
    prefs_close
    dpi_check "$DPI_NOW about box" dpi_about
    dpi_check "$DPI_NOW statistics window" dpi_statistics
    dpi_check "$DPI_NOW clear-statistics dialog" dpi_clear_dialog
    dpi_check "$DPI_NOW monitor window" dpi_monitor
    tray_unload "$GENERAL_AGENT"
}

results=$(mktemp)
started=$SECONDS
for dpi in ${DPI_LIST:-96 120 144}; do
    # Each setting gets a prefix, display and driver of its own; the
    # subshell's exit ends them.
    (
        E2E_DPI=$dpi
        DPI_NOW=$dpi
        E2E_DROP_TIMED=1
        if ! e2e_setup "$bin" "$artifacts/$dpi"; then
            echo "FAIL $dpi setup: $E2E_REASON"
            exit 1
        fi
        E2E_REASON=""
        e2e_reset_registry
        xdotool mousemove 640 400 2>>"$E2E_LOG"
        dpi_session
        if [ -n "$E2E_REASON" ]; then
            echo "FAIL $dpi session: $E2E_REASON"
        fi
        e2e_case_teardown
    ) | tee -a "$results"
done
passed=$(grep -c '^PASS ' "$results")
failed=$(grep -c '^FAIL ' "$results")
rm -f "$results"
echo "dpi: $passed passed, $failed failed, $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
