# The preferences window: opened from the tray menu, its page tree, the
# pages made once and kept. Uses the virtual-desktop helpers of tray.sh.

TVM_GETNEXTITEM=0x110A
TVM_SELECTITEM=0x110B
TVGN_ROOT=0
TVGN_NEXT=1
TVGN_CARET=9

prefs_children() {
    tray_driver list-children "$TRAY_MAIN" | tr -d '\r'
}

# prefs_page_with <control id>: the page, among the main dialog's child
# dialogs, that holds that control.
prefs_page_with() {
    local page
    for page in $(prefs_children | awk -F'\t' '$4 == "#32770" { print $1 }'); do
        tray_driver list-children "hwnd:$page" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { found = 1 } END { exit !found }' &&
            { printf '%s\n' "$page"; return 0; }
    done
    return 1
}

# prefs_enabled <window> <control id>: the control is there and enabled.
prefs_enabled() {
    local style
    style=$(tray_driver style "hwnd:$1" "$2" | tr -d '\r')
    [ -n "$style" ] && ! (( style & 0x08000000 ))
}

# prefs_group_rows <caption>: the page group boxes of that caption, with state.
prefs_group_rows() {
    prefs_children | awk -F'\t' -v t="$1" '$2 == 1090 && $5 == t { print $3 }'
}

# prefs_select <n>: selects the n-th tree item (1 = "General"), as a click does.
prefs_select() {
    local tree item n=1
    tree=$(prefs_children | awk -F'\t' '$2 == 1000 { print $1; exit }')
    [ -n "$tree" ] || { e2e_fail "no page tree"; return 1; }
    item=$(tray_driver send "hwnd:$tree" $TVM_GETNEXTITEM $TVGN_ROOT 0 | tr -d '\r')
    while [ "$n" -lt "$1" ]; do
        item=$(tray_driver send "hwnd:$tree" $TVM_GETNEXTITEM $TVGN_NEXT "$item" | tr -d '\r')
        n=$((n + 1))
    done
    [ "$item" != 0x0 ] || { e2e_fail "no tree item $1"; return 1; }
    tray_driver send "hwnd:$tree" $TVM_SELECTITEM $TVGN_CARET "$item" >/dev/null
}

prefs_page_shown() {
    [ "$(prefs_group_rows "$1")" = visible ]
}

# prefs_expect_page <group caption>: exactly one such page, and it is on
# show within 3 s.
prefs_expect_page() {
    e2e_until 12 prefs_page_shown "$1" ||
        e2e_fail "page \"$1\" is \"$(prefs_group_rows "$1" | tr '\n' ' ')\", not one page on show"
}

# prefs_main_is <visible|hidden>: the preferences window's state.
prefs_main_is() {
    [ "$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $3 }')" = "$1" ]
}

case_preferences_pages() {
    e2e_sim_start default.scn || return 1
    tray_agent_start || return 1
    local agent=$E2E_LAST_PID
    # The General page is made at start-up, while the window is hidden (so
    # it counts as hidden too); no other page exists yet.
    [ "$(prefs_group_rows "General Options")" = hidden ] && [ "$(prefs_children | grep -c '#32770')" = 1 ] ||
        e2e_fail "no General page after start-up" || return 1
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    e2e_until 12 prefs_main_is visible || e2e_fail "\"&Preferences...\" did not show the preferences" || return 1
    prefs_expect_page "General Options" || return 1
    e2e_shot preferences-general

    prefs_select 3 || return 1
    prefs_expect_page "Network Interface(s)" || return 1
    [ "$(prefs_group_rows "General Options")" = hidden ] || e2e_fail "General page still shown" || return 1
    prefs_select 2 || return 1
    prefs_expect_page "Monitor(s) Options" || return 1
    prefs_select 4 || return 1
    prefs_expect_page "Movements" || return 1
    # Selecting a page again shows the page made before.
    prefs_select 3 || return 1
    prefs_expect_page "Network Interface(s)" || return 1
    prefs_select 1 || return 1
    prefs_expect_page "General Options" || return 1

    # Every page sits right of the tree, where the page area is.
    local tree_right page_left
    tree_right=$(tray_driver window-rect "hwnd:$(prefs_children | awk -F'\t' '$2 == 1000 { print $1 }')" | awk '{ print $3 }')
    for page in $(prefs_children | awk -F'\t' '$4 == "#32770" { print $1 }'); do
        page_left=$(tray_driver window-rect "hwnd:$page" | awk '{ print $1 }')
        [ "$page_left" -gt "$tree_right" ] || e2e_fail "a page at x=$page_left overlaps the tree (right edge $tree_right)" ||
            return 1
    done

    tray_driver press "$TRAY_MAIN" 70 --timeout 3000 >/dev/null || e2e_fail "cannot press \"&Close\"" || return 1
    e2e_until 12 prefs_main_is hidden || e2e_fail "\"&Close\" left the preferences on show" || return 1
    tray_unload "$agent"
}

# prefs_visibility: "visible" or "hidden", as the preferences window is.
prefs_visibility() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $3; exit }'
}

prefs_is() {
    [ "$(prefs_visibility)" = "$1" ]
}

prefs_close() {
    tray_driver press "$TRAY_MAIN" 70 --timeout 3000 >/dev/null || e2e_fail "cannot press \"&Close\"" || return 1
    e2e_until 12 prefs_is hidden || e2e_fail "\"&Close\" left the preferences on show"
}

prefs_reopen() {
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    e2e_until 12 prefs_is visible || e2e_fail "\"&Preferences...\" did not show the preferences"
}

# prefs_page_shows <page> <list id> <image>:<text>: that line is in the list.
prefs_page_shows() {
    tray_driver list-items "hwnd:$1" "$2" | tr -d '\r' | awk -F'\t' '{ print $2 ":" $4 }' | grep -qxF "$3"
}

# prefs_expect_line <page> <list id> <image>:<text> <when>
prefs_expect_line() {
    e2e_until 40 prefs_page_shows "$1" "$2" "$3" && return 0
    e2e_fail "$4 the list shows [$(tray_driver list-items "hwnd:$1" "$2" | tr -d '\r' | cut -f2,4 | tr '\n\t' '|:')], not \"$3\""
}

prefs_monitors_row() {
    tray_driver lv-rows "hwnd:$1" 1029 | tr -d '\r' | cut -f5 | grep -qxF "$2"
}

# The page on show stays so while the window is hidden: the configuration
# watcher lists it again there, and showing the window lists the Interface(s)
# and Movements pages again for what came without a configuration event.
case_preferences_hidden_page() {
    e2e_sim_start interfaces.scn || return 1
    ifaces_open || return 1
    local page
    prefs_close || return 1
    e2e_simctl set-interface usb bound=1 binding-active=1 >/dev/null || e2e_fail "simulator refused the bind" || return 1
    prefs_expect_line "$IFACES_PAGE" 1029 "5:USB Ethernet Adapter" "after a bind while hidden" || return 1
    # A cable plugged in is a status change only.
    e2e_simctl set-interface usb connected=1 >/dev/null || e2e_fail "simulator refused the connect" || return 1
    prefs_reopen || return 1
    prefs_expect_line "$IFACES_PAGE" 1029 "4:USB Ethernet Adapter" "on showing the window again" || return 1

    prefs_select 4 || return 1
    page=$(e2e_until 12 prefs_page_with 1072) || e2e_fail "no Movements page" || return 1
    prefs_expect_line "$page" 1072 "6:Fast Ethernet 10/100 PCI Adapter" "on the Movements page" || return 1
    prefs_close || return 1
    e2e_simctl fault not-started code=1 >/dev/null || e2e_fail "simulator refused the fault" || return 1
    prefs_reopen || return 1
    prefs_expect_line "$page" 1072 "10:ZorvanHService is not started!" "on showing the Movements page again" || return 1
    e2e_simctl clear-fault all >/dev/null

    prefs_select 2 || return 1
    page=$(prefs_page_with 1056) || e2e_fail "no Monitor(s) page" || return 1
    e2e_until 40 prefs_monitors_row "$page" "Docking Station Ethernet" || e2e_fail "the Monitor(s) page lists nothing" || return 1
    prefs_close || return 1
    e2e_simctl add-interface extra "name=Express Card Adapter" flags=supported,bound,binding-active >/dev/null ||
        e2e_fail "simulator refused the new adapter" || return 1
    e2e_until 40 prefs_monitors_row "$page" "Express Card Adapter" ||
        e2e_fail "the hidden Monitor(s) page did not list the new adapter" || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$IFACES_AGENT"
}

run_preferences_hidden_page() { ifaces_case case_preferences_hidden_page; }

e2e_case preferences-pages case_preferences_pages
e2e_case preferences-hidden-page run_preferences_hidden_page
