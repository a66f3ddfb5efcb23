# The agent under a person's hands: X's own pointer and keyboard (xdotool)
# on the wine virtual desktop of the tray cases, which covers the screen
# from 0,0, so screen and desktop coordinates are the same. Uses tray.sh,
# monitors.sh, preferences.sh and the statistics helpers of lib.sh.

INPUT_TIP_ENABLED="ZorvanHAgent is enabled"

# input_pointer <x> <y>: the pointer goes there as a hand moves it, in a
# few steps, so the window under it sees the way in.
input_pointer() {
    local x=$1 y=$2 from_x from_y i
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=')"
    from_x=${X:-$x} from_y=${Y:-$y}
    for i in 1 2 3 4; do
        xdotool mousemove $((from_x + (x - from_x) * i / 4)) $((from_y + (y - from_y) * i / 4)) ||
            { e2e_fail "cannot move the pointer"; return 1; }
    done
}

# input_pointer_over <caption>: X has the pointer in that window.
input_pointer_over() {
    INPUT_SEEN=$("$E2E_XPOINTER" 2>&1)
    e2e_log "xpointer -> $INPUT_SEEN"
    [ "${INPUT_SEEN#* * }" = "$1" ]
}

# input_pointer_at <x> <y>: X has the pointer at that point.
input_pointer_at() {
    local px py
    INPUT_SEEN=$("$E2E_XPOINTER" 2>&1)
    read -r px py _ <<<"$INPUT_SEEN"
    [ "$px $py" = "$1 $2" ]
}

# input_click <x> <y> [button] [count]
input_click() {
    input_pointer "$1" "$2" || return 1
    xdotool click --repeat "${4:-1}" --delay 80 "${3:-1}" || e2e_fail "cannot click"
}

# input_keys <key>...: typed one after the other (xdotool's key names).
input_keys() {
    xdotool key --delay 60 "$@" || e2e_fail "cannot type $*"
}

# input_rect <driver words>: sets RECT_L RECT_T RECT_R RECT_B.
input_rect() {
    local rect
    rect=$(tray_driver "$@" | tr -d '\r' | head -1)
    read -r RECT_L RECT_T RECT_R RECT_B <<<"$rect"
    [ -n "$RECT_B" ]
}

# The middle of the tray icon, from the rectangle of the shell's tip tool.
input_tray_icon() {
    input_rect tooltips "$INPUT_TIP_ENABLED" || { e2e_fail "no tray icon to point at"; return 1; }
    ICON_X=$(((RECT_L + RECT_R) / 2)) ICON_Y=$(((RECT_T + RECT_B) / 2))
}

# input_menu_open: a menu is on show; sets MENU (its hwnd) and its RECT_*.
input_menu_open() {
    MENU=$(tray_driver list-windows | tr -d '\r' |
        awk -F'\t' -v c="$TRAY_MENU_CLASS" '$4 == c && $3 == "visible" { print $1; exit }')
    [ -n "$MENU" ] && input_rect window-rect "hwnd:$MENU"
}

input_menu_closed() {
    ! input_menu_open
}

# input_at_pointer <x> <y>: the open menu has its corner at that point, or,
# where it would leave the screen, lies against the screen's edge near it
# (wine moves a menu in rather than flipping it over the point, and keeps
# it above the taskbar once the taskbar has claimed its strip).
input_at_pointer() {
    local x=$1 y=$2
    { [ "$RECT_L" = "$x" ] || [ "$RECT_R" = "$x" ] || { [ "$RECT_R" = 1280 ] && [ "$RECT_L" -le "$x" ]; }; } &&
        { [ "$RECT_T" = "$y" ] || [ "$RECT_B" = "$y" ] || [ "$RECT_B" = 800 ] || [ "$RECT_B" = 780 ]; } ||
        e2e_fail "menu $RECT_L $RECT_T $RECT_R $RECT_B is not at the pointer $x,$y"
}

# input_tray_menu: a right click on the icon opens the menu at the pointer.
input_tray_menu() {
    input_tray_icon || return 1
    input_click "$ICON_X" "$ICON_Y" 3 || return 1
    e2e_until 20 input_menu_open || e2e_fail "no menu after a right click on the icon" || return 1
    input_at_pointer "$ICON_X" "$ICON_Y"
}

# input_x_focus: X's keyboard focus goes to the X window of the window at
# RECT_*. A click on the taskbar gives X's focus to the taskbar's own X
# window. A window that the agent brings forward afterwards asks X for the
# focus stamped with the time of the last message its thread read, older
# than that click, and X refuses it; the tray menu's owner is hidden and
# asks for nothing. X then goes on sending the keys to the taskbar's
# process, where Windows sends them to the foreground thread. Keys typed
# after a click on the icon go through here.
input_x_focus() {
    input_x_window || return 1
    xdotool windowfocus "$INPUT_XWIN" || e2e_fail "cannot give X's focus to $INPUT_XWIN"
}

# input_x_window: sets INPUT_XWIN to the agent's X window at RECT_*.
input_x_window() {
    INPUT_XWIN=$(xwininfo -root -tree 2>/dev/null | awk -v g="$((RECT_R - RECT_L))x$((RECT_B - RECT_T))+$RECT_L+$RECT_T" \
        '/"zorvanhagent.exe"/ && index($0, g) { print $1; exit }')
    [ -n "$INPUT_XWIN" ] || e2e_fail "no X window at $RECT_L $RECT_T $RECT_R $RECT_B"
}

# input_x_keys_reach_agent: X's focus is on one of the agent's X windows;
# wine then hands the keys to the agent's active window, whichever it is.
input_x_keys_reach_agent() {
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 1
    xwininfo -root -tree 2>/dev/null | grep -F '"zorvanhagent.exe"' | grep -qw "$(printf '0x%x' "$focus")"
}

# input_wait_keys <caption>: the window is in front and X sends the agent
# the keys. Wine asks X for the focus once the window is active, stamped
# with a time it estimates from its thread's last message; now and then X
# finds that older than the focus it gave the taskbar and refuses, and a
# person would click into the window before typing. The case hands X's
# focus over itself then, as the click would.
input_wait_keys() {
    tray_driver wait-active "$1" --timeout 5000 >/dev/null || return 1
    e2e_until 8 input_x_keys_reach_agent && return 0
    e2e_log "X's focus stayed off the agent's windows; giving it to \"$1\""
    input_rect window-rect "$1" && input_x_focus
}

# input_menu_keys <key>...: typed into the open menu.
input_menu_keys() {
    input_x_focus || return 1
    input_keys "$@"
}

# input_window_keys <caption> <key>...: typed into a window the agent
# brought forward after a click on the icon.
input_window_keys() {
    input_rect window-rect "$1" || { e2e_fail "no window \"$1\""; return 1; }
    shift
    input_x_focus || return 1
    input_keys "$@"
}

input_prefs_shown() {
    [ "$(monitor_rows "$TRAY_MAIN")" = visible ]
}

# input_expect_prefs <how>: the preferences came, are in front, and Escape
# puts them away again.
input_expect_prefs() {
    e2e_until 20 input_prefs_shown || e2e_fail "$1 did not show the preferences" || return 1
    input_wait_keys "$TRAY_MAIN" || e2e_fail "$1: the preferences are not in front" || return 1
    input_keys Escape || return 1
    input_prefs_hidden Escape
}

input_prefs_hidden() {
    e2e_until 20 eval '! input_prefs_shown' || e2e_fail "$1 left the preferences on screen"
}

case_input_tray_menu() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    input_tray_menu || return 1
    e2e_shot input-tray-menu
    # "&Preferences..." is the second of seven items and three separators,
    # whose heights the banner stretches alike.
    input_click $((RECT_L + 60)) $((RECT_T + (RECT_B - RECT_T) * 175 / 1000)) || return 1
    input_expect_prefs "a click on \"&Preferences...\"" || return 1
    input_tray_menu || return 1
    input_menu_keys Down Down Return || return 1
    input_expect_prefs "Down, Down, Enter" || return 1
    input_tray_menu || return 1
    input_menu_keys p || return 1
    input_expect_prefs "the letter P" || return 1
    # Escape closes the menu and runs nothing, over a time a command takes.
    input_tray_menu || return 1
    input_menu_keys Escape || return 1
    e2e_until 12 input_menu_closed || e2e_fail "Escape left the menu open" || return 1
    e2e_until 6 input_prefs_shown && e2e_fail "Escape opened the preferences" && return 1
    tray_driver wait-window "$STATS_WINDOW" --timeout 1 >/dev/null && e2e_fail "Escape opened the statistics" && return 1
    tray_unload "$agent"
}

# input_walk <window> <key> <id>...: each press of the key (Tab, shift+Tab)
# brings the focus to the next id.
input_walk() {
    local window=$1 key=$2 id seen
    shift 2
    for id in "$@"; do
        input_keys "$key" || return 1
        seen=$(tray_driver focus "$window" "$id" --timeout 2000) ||
            e2e_fail "$key gave the focus to \"${seen//$'\r'/}\", not to control $id" || return 1
    done
}

# input_press_control <window> <id> [button] [count]: a click in the middle
# of a control.
input_press_control() {
    local control
    control=$(tray_driver list-children "$1" | tr -d '\r' | awk -F'\t' -v id="$2" '$2 == id { print $1; exit }')
    [ -n "$control" ] && input_rect window-rect "hwnd:$control" || { e2e_fail "no control $2 to click"; return 1; }
    input_click $(((RECT_L + RECT_R) / 2)) $(((RECT_T + RECT_B) / 2)) "${3:-1}" "${4:-1}"
}

input_topmost() {
    local exstyle
    exstyle=$(tray_driver exstyle "$STATS_WINDOW" | tr -d '\r') || return 2
    (( exstyle & 0x8 ))
}

# input_checked <window> <id>: the check box is ticked (BM_GETCHECK).
input_checked() {
    local box
    box=$(tray_driver list-children "$1" | tr -d '\r' | awk -F'\t' -v id="$2" '$2 == id { print $1; exit }')
    [ -n "$box" ] && [ "$(tray_driver send "hwnd:$box" 0x00F0 0 0 --timeout 2000 | tr -d '\r')" = 0x1 ]
}

input_stats_open() {
    input_tray_icon || return 1
    input_click "$ICON_X" "$ICON_Y" 1 2 || return 1
    tray_driver wait-shown "$STATS_WINDOW" --timeout 8000 >/dev/null || e2e_fail "a double click on the icon opened no statistics" || return 1
    # Opened by a click on the taskbar, it is in front for wine but X's
    # focus stays with the taskbar (see input_x_focus).
    tray_driver wait-active "$STATS_WINDOW" --timeout 3000 >/dev/null || e2e_fail "the statistics window is not in front"
}

# The statistics window from a double click on the icon, its pin under the
# pointer, and its keys: Tab's walk, the underlined letters of its buttons,
# Enter and Escape in the clear dialogs and in the window.
case_input_statistics() {
    local STATS_DRIVER=tray_driver before id
    e2e_sim_start statistics.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    input_stats_open || return 1
    stats_expect 1007 "Dial-in" || return 1
    tray_driver wait-enabled "$STATS_WINDOW" 1014 on --timeout 5000 >/dev/null || e2e_fail "\"Clear C&urrent\" stays disabled" || return 1
    input_topmost && e2e_fail "the statistics window starts on top" && return 1
    input_press_control "$STATS_WINDOW" 1025 || return 1
    e2e_until 12 input_topmost || e2e_fail "a click on the pin left the window below others" || return 1
    e2e_shot input-statistics-pinned
    input_press_control "$STATS_WINDOW" 1025 || return 1
    e2e_until 12 eval '! input_topmost' || e2e_fail "a second click on the pin left the window on top" || return 1

    # The clicked pin has the focus; Tab walks down the window's columns and
    # comes round to the pin again, Shift+Tab walks back.
    tray_driver focus "$STATS_WINDOW" 1025 --timeout 2000 >/dev/null || e2e_fail "the clicked pin has no focus" || return 1
    input_walk "$STATS_WINDOW" Tab 1001 1002 1016 1003 1004 1005 1008 1009 1007 1006 1010 1011 1013 1017 1 1015 1014 1025 || return 1
    input_walk "$STATS_WINDOW" shift+Tab 1014 1015 1 1017 || return 1

    # Alt+O asks before clearing the overall statistics; in the question
    # Tab walks its controls, Alt+A ticks the box, Escape answers Cancel.
    before=$(e2e_simctl count 3)
    input_keys alt+o || return 1
    input_wait_keys "$STATS_CLEAR" || e2e_fail "Alt+O asked nothing" || return 1
    id=$(tray_driver focus "$STATS_CLEAR" | tr -d '\r' | cut -f1)
    e2e_log "the question starts with the focus on $id"
    input_walk "$STATS_CLEAR" Tab 1021 1 2 1002 1021 || return 1
    input_keys alt+a || return 1
    e2e_until 12 input_checked "$STATS_CLEAR" 1021 || e2e_fail "Alt+A did not tick the box" || return 1
    input_keys Escape || return 1
    tray_driver wait-gone "$STATS_CLEAR" --timeout 3000 >/dev/null || e2e_fail "Escape left the question" || return 1
    # Enter on the question answers with its default button, OK.
    input_keys alt+o || return 1
    input_wait_keys "$STATS_CLEAR" || e2e_fail "Alt+O asked nothing" || return 1
    input_keys Return || return 1
    tray_driver wait-gone "$STATS_CLEAR" --timeout 3000 >/dev/null || e2e_fail "Enter left the question" || return 1
    e2e_wait_count 3 $((before + 1)) 5 || return 1
    [ "$(e2e_simctl count 3)" = $((before + 1)) ] || e2e_fail "Escape cleared the statistics too" || return 1
    # Alt+U asks about the connection; Alt+C answers Cancel.
    stats_expect 1007 "Dial-in" || return 1
    tray_driver wait-enabled "$STATS_WINDOW" 1014 on --timeout 5000 >/dev/null || e2e_fail "\"Clear C&urrent\" stays disabled" || return 1
    input_wait_keys "$STATS_WINDOW" || e2e_fail "the statistics window is not in front again" || return 1
    input_keys alt+u || return 1
    input_wait_keys "$STATS_CLEAR" || e2e_fail "Alt+U asked nothing" || return 1
    input_keys alt+c || return 1
    tray_driver wait-gone "$STATS_CLEAR" --timeout 3000 >/dev/null || e2e_fail "Alt+C left the question" || return 1
    # Alt+H hides the window, as Escape does.
    input_wait_keys "$STATS_WINDOW" || e2e_fail "the statistics window is not in front again" || return 1
    input_keys alt+h || return 1
    tray_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "Alt+H left the window" || return 1
    input_stats_open || return 1
    input_window_keys "$STATS_WINDOW" Escape || return 1
    tray_driver wait-gone "$STATS_WINDOW" --timeout 5000 >/dev/null || e2e_fail "Escape left the window" || return 1
    tray_unload "$agent"
}

# input_pointer_on <title> <x> <y>: the pointer at x,y, and X has it in
# that window. A hand presses what it sees under it; a window wine shows
# may not be under X's pointer yet, and a press there would go to whatever
# X has.
input_pointer_on() {
    input_pointer "$2" "$3" || return 1
    e2e_until 12 input_pointer_over "$1" || e2e_fail "X does not have the pointer in \"$1\" at $2,$3: $INPUT_SEEN"
}

# input_press_on <title> <x> <y> [button]
input_press_on() {
    input_pointer_on "$1" "$2" "$3" || return 1
    xdotool mousedown "${4:-1}" || e2e_fail "cannot press the button"
}

# input_drag <title> <x0> <y0> <x1> <y1> [button]: pressed in the window at
# one point, carried in steps to the other and let go there.
input_drag() {
    input_press_on "$1" "$2" "$3" "${6:-1}" || return 1
    input_pointer "$4" "$5" || return 1
    # One more move where the hand stops, as the last step may come
    # before the window has followed the one before.
    xdotool mousemove "$4" "$5" mouseup "${6:-1}" || e2e_fail "cannot let the button go"
}

# input_carry <title> <x> <y> <dx> <dy> [held pid]: the window is pressed at
# x,y and carried by dx,dy in four steps, each awaited until the window has
# followed it. With a pid, that process is held still until X has both the
# press and the first step, so it reads them together, as from a hand
# quicker than a busy agent.
# Under wine's virtual desktop a pointer event over a window is mapped to
# the screen with wine's newest idea of that window's place, while X
# measured it against the place X had when the pointer moved: a step that
# comes before the last one has reached X is counted twice, and the window
# runs ahead of the hand. Windows measures against the place the window has
# when the message is read, so there a hand cannot outrun it; hence the
# awaited steps.
input_carry() {
    local title=$1 x=$2 y=$3 dx=$4 dy=$5 held=${6:-} i left top pressed=0
    input_rect window-rect "$title" || { e2e_fail "no window \"$title\" to carry"; return 1; }
    left=$RECT_L top=$RECT_T
    input_pointer_on "$title" "$x" "$y" || return 1
    [ -z "$held" ] || kill -STOP "$held" || { e2e_fail "cannot hold process $held"; return 1; }
    xdotool mousedown 1 mousemove $((x + dx / 4)) $((y + dy / 4)) &&
        e2e_until 5 input_pointer_at $((x + dx / 4)) $((y + dy / 4)) && pressed=1
    [ -z "$held" ] || kill -CONT "$held"
    [ $pressed = 1 ] || { xdotool mouseup 1; e2e_fail "cannot press and move the pointer"; return 1; }
    for i in 1 2 3 4; do
        [ $i = 1 ] || xdotool mousemove $((x + dx * i / 4)) $((y + dy * i / 4)) ||
            { xdotool mouseup 1; e2e_fail "cannot move the pointer"; return 1; }
        e2e_until 12 input_rect_is "$title" \
            "$((left + dx * i / 4)) $((top + dy * i / 4)) $((RECT_R + dx * i / 4)) $((RECT_B + dy * i / 4))" ||
            {
                xdotool mouseup 1
                e2e_fail "step $i of the drag took \"$title\" to $INPUT_SEEN (X's pointer: $("$E2E_XPOINTER"))"
                e2e_shot input-drag-failed
                return 1
            }
    done
    xdotool mouseup 1 || e2e_fail "cannot let the button go"
}

input_rect_is() {
    INPUT_SEEN=$(tray_driver window-rect "$1" | tr -d '\r')
    [ "$INPUT_SEEN" = "$2" ]
}

# input_stored_is <left> <top> <right> <bottom>: the LAN monitor's stored
# "SizePositionWindow": a word that turns 0 once the window was moved, then
# four little-endian integers.
input_stored_is() {
    local want="00000000" v
    for v in "$@"; do
        want+=$(printf '%02X%02X%02X%02X' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))
    done
    INPUT_SEEN=$(e2e_reg_value "$MONITORS_KEY\\0000" SizePositionWindow)
    [ "$INPUT_SEEN" = "REG_BINARY $want" ]
}

# A monitor under the pointer: dragged by its diagram, sized by its border,
# its tip on a resting pointer, and its menu where the right button went
# down, whose "&Properties" shows it on the Monitor(s) page.
case_input_monitor() {
    e2e_sim_start default.scn "set-interface lan rx-rate=5000000 tx-rate=2000000" || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 300 200 500 328 || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 0 "$MONITOR_LAN" || return 1
    input_rect_is "$MONITOR_LAN" "300 200 500 328" || e2e_fail "the monitor opened at $INPUT_SEEN" || return 1
    # A hand drags the window it sees: once wine shows it, X may not have
    # put it on the screen yet, and a press there would reach the desktop.
    monitor_geometry "$MONITOR_LAN" || return 1
    monitor_wait_lit input-monitor-shown at-least 1 8 || e2e_fail "the monitor is not on the screen ($MONITOR_LIT lit pixels)" ||
        return 1
    # The agent is held while the button goes down and the pointer makes
    # its first step: the window must still keep the point where the
    # button went down under the pointer.
    input_carry "$MONITOR_LAN" 400 280 100 50 "$agent" || return 1
    e2e_until 12 input_stored_is 400 250 600 378 || e2e_fail "the dragged place is stored as $INPUT_SEEN" || return 1
    # The bottom right corner of the sizing border.
    input_drag "$MONITOR_LAN" 598 376 698 426 || return 1
    e2e_until 12 input_rect_is "$MONITOR_LAN" "400 250 700 428" || e2e_fail "sized by 100,50 the monitor is $INPUT_SEEN" || return 1
    e2e_until 12 input_stored_is 400 250 700 428 || e2e_fail "the new size is stored as $INPUT_SEEN" || return 1
    monitor_geometry "$MONITOR_LAN" || return 1
    monitor_wait_lit input-monitor-sized at-least 2 8 || e2e_fail "no bars at the new right edge ($MONITOR_LIT lit pixels)" || return 1

    input_pointer 560 330 || return 1
    xdotool mousemove 561 331 || return 1
    tray_driver wait-tip "$MONITOR_LAN" --timeout 5000 >/dev/null || e2e_fail "no tip on a pointer resting on the monitor" || return 1
    e2e_shot input-monitor-tip

    input_drag "$MONITOR_LAN" 450 300 480 320 3 || return 1
    e2e_until 20 input_menu_open || e2e_fail "no menu after a right click on the monitor" || return 1
    [ "$RECT_L $RECT_T" = "450 300" ] || e2e_fail "the menu opened at $RECT_L,$RECT_T, not where the button went down" || return 1
    e2e_shot input-monitor-menu
    input_click $((RECT_L + 30)) $((RECT_T + 12)) || return 1
    e2e_until 20 input_prefs_shown || e2e_fail "\"&Properties\" did not show the preferences" || return 1
    prefs_expect_page "Monitor(s) Options" || return 1
    monpage_find "$MONITOR_LAN" || return 1
    tray_unload "$agent"
}

input_region_is() {
    INPUT_SEEN=$(tray_driver region "$1" | tr -d '\r')
    case $2 in
        none) [ "$INPUT_SEEN" = none ] ;;
        *) [ "$INPUT_SEEN" != none ] && [ -n "$INPUT_SEEN" ] ;;
    esac
}

# A monitor transparent for the mouse lies over another: a double click on
# it reaches the one beneath, whose caption flips while its own stays; once
# the pointer has left it for a tick of its timer it is whole again.
case_input_transparent() {
    local scenario="$E2E_TMP/transparent.scn"
    monitor_two_scenario "$scenario"
    e2e_sim_start "$scenario" || return 1
    monitor_place 0000 "$MONITOR_LAN_ID" 300 200 500 328 MakeWindowTrasparentForMouse || return 1
    monitor_place 0001 "$MONITOR_WLAN_ID" 300 200 500 328 || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    monitor_open 1 "$MONITOR_WLAN" || return 1
    monitor_open 0 "$MONITOR_LAN" || return 1
    input_region_is "$MONITOR_LAN" none || e2e_fail "the monitor has a region before the pointer came: $INPUT_SEEN" || return 1
    input_pointer 400 280 || return 1
    xdotool mousemove 401 281 || return 1
    e2e_until 12 input_region_is "$MONITOR_LAN" hole || e2e_fail "the pointer on the monitor left it whole" || return 1
    # Every motion over the monitor cuts a hole, the ones on the way in
    # too, so a region alone does not say the pixel under the pointer is
    # cut yet. Click once X routes that pixel to the monitor beneath, as a
    # hand that comes to rest before it clicks would.
    e2e_until 12 input_pointer_over "$MONITOR_WLAN" ||
        e2e_fail "X keeps the pointer on the transparent monitor: $INPUT_SEEN" || return 1
    xdotool click --repeat 2 --delay 80 1 || return 1
    e2e_until 20 monitor_lacks_caption "$MONITOR_WLAN" ||
        e2e_fail "the double click did not reach the monitor beneath$(monitor_has_caption "$MONITOR_LAN" ||
            echo "; the transparent one took it")" || return 1
    monitor_has_caption "$MONITOR_LAN" || e2e_fail "the transparent monitor took the double click" || return 1
    input_pointer 700 600 || return 1
    e2e_until 12 input_region_is "$MONITOR_LAN" none || e2e_fail "away from the pointer the monitor keeps its hole: $INPUT_SEEN" || return 1
    tray_unload "$agent"
}

# input_prefs_open: the preferences from the tray menu, chosen with the
# pointer, so X's focus follows the agent's windows from then on.
input_prefs_open() {
    input_tray_menu || return 1
    input_click $((RECT_L + 60)) $((RECT_T + (RECT_B - RECT_T) * 175 / 1000)) || return 1
    e2e_until 20 input_prefs_shown || e2e_fail "a click on \"&Preferences...\" did not show the preferences" || return 1
    input_wait_keys "$TRAY_MAIN" || e2e_fail "the preferences are not in front"
}

# The preferences under the keyboard: Tab and Shift+Tab walk the tree, the
# page on show and "&Close" round; the arrows choose a page; each page's
# underlined letters press their buttons; Alt+C, Enter and Escape put the
# window away.
case_input_preferences() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID page before
    input_prefs_open || return 1
    tray_driver focus "$TRAY_MAIN" 70 --timeout 2000 >/dev/null || e2e_fail "the preferences open without the focus on \"&Close\"" || return 1
    input_walk "$TRAY_MAIN" Tab 1000 1059 1060 1061 1062 1002 1058 1068 1069 1073 1074 1081 1079 1070 70 1000 || return 1
    input_walk "$TRAY_MAIN" shift+Tab 70 1070 1079 || return 1
    input_walk "$TRAY_MAIN" Tab 1070 70 1000 || return 1

    # Down on the tree shows the Monitor(s) page, whose controls come alive
    # once its list has its first interface chosen.
    input_keys Down || return 1
    prefs_expect_page "Monitor(s) Options" || return 1
    page=$(prefs_page_with 1055) || e2e_fail "no Monitor(s) page" || return 1
    tray_driver wait-enabled "hwnd:$page" 1055 on --timeout 5000 >/dev/null || e2e_fail "\"Ch&oose...\" stays disabled" || return 1
    input_walk "$TRAY_MAIN" Tab 1029 1056 1030 1054 1055 1058 70 1000 || return 1
    input_keys alt+o || return 1
    input_wait_keys Color || e2e_fail "Alt+O opened no colour dialog" || return 1
    input_keys Escape || return 1
    tray_driver wait-gone Color --timeout 3000 >/dev/null || e2e_fail "Escape left the colour dialog" || return 1
    input_wait_keys "$TRAY_MAIN" || e2e_fail "the preferences are not in front again" || return 1
    input_keys alt+r || return 1
    input_wait_keys "ZorvanHAgent Monitor Properties" || e2e_fail "Alt+R asked nothing" || return 1
    input_keys n || return 1
    tray_driver wait-gone "ZorvanHAgent Monitor Properties" --timeout 3000 >/dev/null || e2e_fail "N left the question" || return 1

    # Two pages down, Alt+R lists the interfaces again.
    input_wait_keys "$TRAY_MAIN" || e2e_fail "the preferences are not in front again" || return 1
    tray_driver focus "$TRAY_MAIN" 1058 --timeout 2000 >/dev/null || e2e_fail "the focus did not come back to \"&Restore Defaults\"" || return 1
    # A button's press makes "&Apply" and "Ca&ncel" live, and Tab reaches
    # them; Alt+N cancels and they go dead again.
    input_walk "$TRAY_MAIN" Tab 1052 1053 || return 1
    input_keys alt+n || return 1
    tray_driver wait-enabled "hwnd:$page" 1052 off --timeout 3000 >/dev/null || e2e_fail "Alt+N left \"&Apply\" enabled" || return 1
    input_walk "$TRAY_MAIN" shift+Tab 1058 1055 || return 1
    input_walk "$TRAY_MAIN" Tab 1058 70 1000 || return 1
    input_keys Down || return 1
    prefs_expect_page "Network Interface(s)" || return 1
    page=$(prefs_page_with 1035) || e2e_fail "no Interface(s) page" || return 1
    tray_driver wait-enabled "hwnd:$page" 1035 on --timeout 5000 >/dev/null || e2e_fail "the refresh button stays disabled" || return 1
    before=$(e2e_simctl count 1)
    input_keys alt+r || return 1
    e2e_wait_count 1 $((before + 1)) 5 || return 1
    # The pressed button goes dead while the list is read; the keyboard
    # must not go with it.
    tray_driver wait-enabled "hwnd:$page" 1035 on --timeout 5000 >/dev/null || e2e_fail "the refresh button stays disabled" || return 1
    tray_driver focus "$TRAY_MAIN" --timeout 2000 >/dev/null || e2e_fail "the refresh left no control with the focus" || return 1

    input_keys alt+c || return 1
    input_prefs_hidden "Alt+C" || return 1
    input_prefs_open || return 1
    input_walk "$TRAY_MAIN" Tab 1000 || return 1
    input_keys Return || return 1
    input_prefs_hidden "Enter on the tree" || return 1
    input_prefs_open || return 1
    input_keys Escape || return 1
    input_prefs_hidden "Escape" || return 1
    tray_unload "$agent"
}

# A failed case unloads its agent itself, as the monitor cases do.
for name in tray_menu statistics monitor transparent preferences; do
    eval "input_run_$name() { case_input_$name && return 0; tray_driver post \"\$E2E_EXIT_WINDOW\" 0x8065 --timeout 2000 >/dev/null 2>&1; return 1; }"
done

e2e_case input-tray-menu input_run_tray_menu
e2e_case input-statistics input_run_statistics
e2e_case input-monitor input_run_monitor
e2e_case input-transparent input_run_transparent
e2e_case input-preferences input_run_preferences
