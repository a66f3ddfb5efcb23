# The agent under a person's hands: X's own pointer and keyboard (xdotool)
# on the wine virtual desktop of the tray cases, which covers the screen
# from 0,0, so screen and desktop coordinates are the same. Uses tray.sh,
# monitors.sh, statistics.sh and preferences.sh.

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

# input_menu_keys <key>...: typed into the open menu. A click on the
# taskbar leaves X's keyboard focus on the taskbar's own X window, and wine
# hands the keys to the taskbar's process, not to the foreground thread
# whose menu is open as Windows does; so X's focus is first put on the
# menu's X window, where Windows would have sent the keys.
input_menu_keys() {
    local xwin
    xwin=$(xwininfo -root -tree 2>/dev/null | awk -v g="$((RECT_R - RECT_L))x$((RECT_B - RECT_T))+$RECT_L+$RECT_T" \
        '/"zorvanhagent.exe"/ && index($0, g) { print $1; exit }')
    [ -n "$xwin" ] || { e2e_fail "no X window for the menu at $RECT_L $RECT_T"; return 1; }
    xdotool windowfocus "$xwin" || { e2e_fail "cannot give the menu X's focus"; return 1; }
    input_keys "$@"
}

input_prefs_shown() {
    [ "$(monitor_rows "$TRAY_MAIN")" = visible ]
}

# input_expect_prefs <how>: the preferences came, are in front, and Escape
# puts them away again.
input_expect_prefs() {
    e2e_until 20 input_prefs_shown || e2e_fail "$1 did not show the preferences" || return 1
    tray_driver wait-active "$TRAY_MAIN" --timeout 3000 >/dev/null || e2e_fail "$1: the preferences are not in front" || return 1
    input_keys Escape || return 1
    e2e_until 20 eval '! input_prefs_shown' || e2e_fail "Escape left the preferences on screen"
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

# A failed case unloads its agent itself, as the monitor cases do.
for name in tray_menu; do
    eval "input_run_$name() { case_input_$name && return 0; tray_driver post \"\$E2E_EXIT_WINDOW\" 0x8065 --timeout 2000 >/dev/null 2>&1; return 1; }"
done

e2e_case input-tray-menu input_run_tray_menu
