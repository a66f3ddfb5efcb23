# The Interface(s) page: the service's interfaces in their order with their
# state pictures, the buttons an administrator gets per selection, and bind
# operations behind the progress dialog with their errors and questions.
# Uses the virtual-desktop helpers of tray.sh and preferences.sh.

IFACES_BINDING="ZorvanH Agent is binding..."
IFACES_UNBINDING="ZorvanH Agent is unbinding..."
PBM_GETPOS=0x408
IDYES=6
IDNO=7

ifaces_items() {
    tray_driver list-items "hwnd:$IFACES_PAGE" 1029 | tr -d '\r'
}

# ifaces_wait_list: until the waiting line has gone and the buttons are back.
ifaces_wait_list() {
    local tries=0 items
    while [ $tries -lt 40 ]; do
        items=$(ifaces_items)
        if [ -n "$items" ] && ! printf '%s\n' "$items" | awk -F'\t' '$2 == 9 { found = 1 } END { exit !found }' &&
            prefs_enabled "$IFACES_PAGE" 1035; then
            return 0
        fi
        sleep 0.25
        tries=$((tries + 1))
    done
    e2e_fail "the list did not come: $(printf '%s' "$items" | tr '\n\t' '| ')"
}

# ifaces_lines_are <page> <list id> <image>:<text>...: the list shows these
# lines, in this order.
ifaces_lines_are() {
    local got want="" line
    got=$(tray_driver list-items "hwnd:$1" "$2" | tr -d '\r' | awk -F'\t' '{ print $2 ":" $4 }')
    shift 2
    for line in "$@"; do want+="$line"$'\n'; done
    [ "$got"$'\n' = "$want" ] && return 0
    IFACES_LINES_SEEN=$got
    return 1
}

# ifaces_lines_fail <image>:<text>...: the case fails with the lines the
# last ifaces_lines_are saw.
ifaces_lines_fail() {
    e2e_fail "the list shows [$(printf '%s' "$IFACES_LINES_SEEN" | tr '\n' '|')], not [$(printf '%s|' "$@")]"
}

# ifaces_expect_items <image>:<text>...: the lines in this order.
ifaces_expect_items() {
    ifaces_lines_are "$IFACES_PAGE" 1029 "$@" || ifaces_lines_fail "$@"
}

# ifaces_expect_buttons <bind-selected> <unbind-selected> <bind-all> <unbind-all>, each yes or no.
# A configuration event re-lists the page, and the buttons are off while it
# lists, so their state gets a moment to settle.
ifaces_expect_buttons() {
    e2e_settle ifaces_buttons_now "$@"
}

# Prints the first button that differs from the wanted state, nothing when all agree.
ifaces_buttons_now() {
    local id want style disabled ids=(1034 1033 1030 1032) at=0
    for want in "$@"; do
        id=${ids[$at]}
        at=$((at + 1))
        style=$(tray_driver style "hwnd:$IFACES_PAGE" "$id" | tr -d '\r')
        [ -n "$style" ] || { echo "no button $id"; return; }
        disabled=yes
        (( style & 0x08000000 )) || disabled=no
        [ "$want" = yes ] && [ $disabled = yes ] && { echo "button $id is disabled at $(ifaces_selected)"; return; }
        [ "$want" = no ] && [ $disabled = no ] && { echo "button $id is enabled at $(ifaces_selected)"; return; }
    done
}

ifaces_selected() {
    ifaces_items | awk -F'\t' '$3 ~ /selected/ { print $4 }'
}

# ifaces_open_on <tree item>: the agent with its preferences on that page;
# IFACES_AGENT is the agent, for ifaces_case to unload.
ifaces_open_on() {
    tray_agent_start || return 1
    IFACES_AGENT=$E2E_LAST_PID
    tray_choose $KEY_PREFERENCES || e2e_fail "the menu did not take the choice" || return 1
    prefs_select "$1"
}

# ifaces_open: the agent, its preferences and the Interface(s) page with its list.
ifaces_open() {
    ifaces_open_on 3 || return 1
    IFACES_PAGE=$(prefs_page_with 1029) || e2e_fail "no Interface(s) page" || return 1
    ifaces_wait_list
}

# ifaces_progress <caption>: the progress dialog's hwnd, before any box of the same caption.
ifaces_progress() {
    local tries=0 hwnd
    while [ $tries -lt 40 ]; do
        for hwnd in $(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$1" '$5 == c && $3 == "visible" { print $1 }'); do
            tray_driver list-children "hwnd:$hwnd" | tr -d '\r' | awk -F'\t' '$2 == 1001 { found = 1 } END { exit !found }' &&
                { printf '%s\n' "$hwnd"; return 0; }
        done
        sleep 0.1
        tries=$((tries + 1))
    done
    e2e_fail "no progress dialog \"$1\""
}

ifaces_bar() {
    local bar
    bar=$(tray_driver list-children "hwnd:$1" | tr -d '\r' | awk -F'\t' '$2 == 1001 { print $1 }')
    printf '%d\n' "$(tray_driver send "hwnd:$bar" $PBM_GETPOS | tr -d '\r')"
}

# ifaces_expect_box <caption> <text> [ms]: a message box of that caption says that.
ifaces_expect_box() {
    local out text
    out=$(tray_driver msgbox "$1" --timeout "${3:-8000}" | tr -d '\r') ||
        { e2e_fail "no box \"$2\""; return 1; }
    text=$(printf '%s\n' "$out" | sed -n 's/^text=//p')
    [ "$text" = "$2" ] || e2e_fail "box \"$1\" says \"$text\", not \"$2\""
}

ifaces_answer() {
    tray_driver press "$1" "$2" --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer $2 in \"$1\""
}

# ifaces_wait_gone <hwnd>: the progress dialog has ended.
ifaces_wait_gone() {
    tray_driver wait-gone "hwnd:$1" --timeout "${2:-10000}" >/dev/null || e2e_fail "the progress dialog stays"
}

ifaces_case() {
    IFACES_AGENT=""
    "$1"
    local rc=$?
    tray_unload_left "$IFACES_AGENT"
    return $rc
}

case_interfaces_list_and_bind_all() {
    e2e_sim_start interfaces.scn "request-delay 5 1500" || return 1
    ifaces_open || return 1
    # Supported first, among them not present first, then by name; the
    # first line is selected.
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "2:Gigabit Ethernet Adapter (PCI)" "3:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1
    [ "$(ifaces_selected)" = "Fast Ethernet 10/100 PCI Adapter" ] || e2e_fail "first line not selected" || return 1
    e2e_shot interfaces-page
    local style
    style=$(tray_driver style "hwnd:$IFACES_PAGE" 1036 | tr -d '\r')
    (( style & 0x08000000 )) || e2e_fail "\"Network interface &Properties\" is enabled" || return 1
    # An administrator's buttons follow the selected line.
    ifaces_expect_buttons no yes yes yes || return 1
    local list
    list=$(tray_driver list-children "hwnd:$IFACES_PAGE" | tr -d '\r' | awk -F'\t' '$2 == 1029 { print $1 }')
    tray_driver key "hwnd:$list" $VK_DOWN >/dev/null && tray_driver key "hwnd:$list" $VK_DOWN >/dev/null
    e2e_until 8 ifaces_selected_is "Gigabit Ethernet Adapter (PCI)" || e2e_fail "Down twice selected \"$(ifaces_selected)\"" || return 1
    ifaces_expect_buttons yes no yes yes || return 1
    tray_driver key "hwnd:$list" $VK_DOWN >/dev/null && tray_driver key "hwnd:$list" $VK_DOWN >/dev/null &&
        tray_driver key "hwnd:$list" $VK_DOWN >/dev/null
    e2e_until 8 ifaces_selected_is "Dial-up Modem Adapter" || e2e_fail "not on the unsupported line" || return 1
    ifaces_expect_buttons no no yes yes || return 1

    local lists_before dialog pid
    lists_before=$(e2e_simctl count 1)
    tray_driver press "hwnd:$IFACES_PAGE" 1030 >/dev/null || e2e_fail "cannot press \"Bind a&ll supported\"" || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    e2e_shot interfaces-progress
    [ "$(tray_driver text "hwnd:$dialog" 1003 | tr -d '\r')" = "ZorvanH Agent is binding ZorvanHelper Miniport to:" ] ||
        e2e_fail "the progress dialog does not say what it does" || return 1
    # What the dialog shows while it runs, as "name|bar" steps, read as fast
    # as the driver answers until the dialog goes (at most 30 s).
    local seen="" step until=$((SECONDS + 30))
    while [ $SECONDS -lt $until ] && tray_driver wait-window "hwnd:$dialog" --timeout 1 >/dev/null; do
        step="$(tray_driver text "hwnd:$dialog" 1002 | tr -d '\r')|$(ifaces_bar "$dialog")"
        [[ "$seen" == *"$step;" ]] || seen+="$step;"
    done
    e2e_log "progress: $seen"
    # The bar may be gone by the time it is read after "Completed".
    [[ "$seen" == *"Gigabit Ethernet Adapter (PCI)|0;"*"USB Ethernet Adapter|50;"*"|100;"* && "$seen" == *"Completed|"* ]] ||
        e2e_fail "the dialog showed $seen" || return 1
    ifaces_wait_gone "$dialog" || return 1
    # Each query carries the agent's process id.
    pid=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $2; exit }')
    local sent
    sent=$(e2e_simctl bind-requests)
    [ "$sent" = "$(printf '1 %s Gigabit Ethernet Adapter (PCI)\n1 %s USB Ethernet Adapter' "$pid" "$pid")" ] ||
        e2e_fail "request 5 received [$(printf '%s' "$sent" | tr '\n' '|')]" || return 1
    ifaces_wait_list || return 1
    [ "$(e2e_simctl count 1)" -gt "$lists_before" ] || e2e_fail "no fresh list after the operation" || return 1
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "4:Gigabit Ethernet Adapter (PCI)" "5:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1
    # The selection stays on the line it was on.
    [ "$(ifaces_selected)" = "Dial-up Modem Adapter" ] || e2e_fail "selection moved to \"$(ifaces_selected)\"" || return 1
    # With nothing left to bind the button is off.
    ifaces_expect_buttons no no no yes || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$IFACES_AGENT"
}

case_interfaces_errors() {
    e2e_sim_start interfaces.scn "fault status code=5 interface=wired status=0xC0FE0018 apply=1" \
        "fault status code=5 interface=usb status=0xC0FE0001" || return 1
    ifaces_open || return 1
    local dialog
    tray_driver press "hwnd:$IFACES_PAGE" 1030 >/dev/null || e2e_fail "cannot press \"Bind a&ll supported\"" || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    # The failure is on the last interface: no question to go on.
    ifaces_expect_box "$IFACES_BINDING" "Error occured during the operation." || return 1
    ifaces_answer "$IFACES_BINDING" 1 || return 1
    ifaces_wait_gone "$dialog" 3000 || return 1
    ifaces_wait_list || return 1
    # 0xC0FE0018 counted as done; the failed one is as it was.
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "4:Gigabit Ethernet Adapter (PCI)" "3:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1

    # Unbinding asks first; the service refuses with access denied.
    e2e_simctl fault status code=5 status=0xC0FE0005 times=1 >/dev/null
    tray_driver press "hwnd:$IFACES_PAGE" 1032 >/dev/null || return 1
    ifaces_expect_box "$IFACES_UNBINDING" \
        "If you are do unbind, you are posibble lost of statisic active network connection(s).  Are you sure?" || return 1
    ifaces_answer "$IFACES_UNBINDING" $IDYES || return 1
    dialog=$(ifaces_progress "$IFACES_UNBINDING") || return 1
    ifaces_expect_box "$IFACES_UNBINDING" "Access denied! For this operation need admin privileges." || return 1
    ifaces_answer "$IFACES_UNBINDING" 1 || return 1
    ifaces_wait_gone "$dialog" 3000 || return 1
    [ "$(e2e_simctl bind-requests | grep -c .)" = 3 ] || e2e_fail "access denied did not stop the unbinding: [$(e2e_simctl bind-requests | tr "\n" "|")]" || return 1
    ifaces_wait_list || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$IFACES_AGENT"
}

case_interfaces_escape() {
    e2e_sim_start interfaces.scn "request-delay 5 1200" || return 1
    e2e_simctl add-interface extra "name=Wireless USB Adapter" flags=supported >/dev/null &&
        e2e_simctl fault status code=5 interface=wired status=0xC0FE0015 apply=1 >/dev/null &&
        e2e_simctl fault status code=5 interface=extra status=0xC0FE0019 apply=1 >/dev/null ||
        e2e_fail "simulator refused the extra adapter or its faults" || return 1
    ifaces_open || return 1
    local dialog
    tray_driver press "hwnd:$IFACES_PAGE" 1030 >/dev/null || return 1
    dialog=$(ifaces_progress "$IFACES_BINDING") || return 1
    tray_driver key "hwnd:$dialog" $VK_ESCAPE >/dev/null || e2e_fail "cannot press Escape" || return 1
    # Asked once the current interface is done, before the next is sent.
    ifaces_expect_box "$IFACES_BINDING" "Do you want stop operation?" || return 1
    [ "$(e2e_simctl bind-requests | grep -c .)" = 1 ] || e2e_fail "the question came after $(e2e_simctl bind-requests | grep -c .) requests" || return 1
    [ "$(ifaces_bar "$dialog")" = 33 ] || e2e_fail "the bar is at $(ifaces_bar "$dialog") after one of three" || return 1
    ifaces_answer "$IFACES_BINDING" $IDNO || return 1
    ifaces_wait_gone "$dialog" 10000 || return 1
    [ "$(e2e_simctl bind-requests | awk '{ $1 = $2 = ""; print substr($0, 3) }' | tr '\n' '|')" = \
        "Gigabit Ethernet Adapter (PCI)|USB Ethernet Adapter|Wireless USB Adapter|" ] ||
        e2e_fail "request 5 received [$(e2e_simctl bind-requests | tr '\n' '|')]" || return 1
    ifaces_wait_list || return 1
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "4:Gigabit Ethernet Adapter (PCI)" "5:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "5:Wireless USB Adapter" "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1
    tray_unload "$IFACES_AGENT"
}

case_interfaces_service_stopped() {
    e2e_sim_start not-started.scn || return 1
    ifaces_open || return 1
    ifaces_expect_items "10:ZorvanHService is not started!" || return 1
    # Refresh stays, nothing to bind.
    ifaces_expect_buttons no no no no || return 1
    e2e_simctl start-service >/dev/null || e2e_fail "the simulator did not start its service" || return 1
    # The configuration watcher finds the service's event within 2 s and
    # re-lists the page itself; the press comes after it.
    e2e_until 20 ifaces_lines_are "$IFACES_PAGE" 1029 "4:Gigabit Ethernet Adapter (PCI)" ||
        ifaces_lines_fail "4:Gigabit Ethernet Adapter (PCI)" || return 1
    local lists
    lists=$(e2e_simctl count 1)
    tray_driver press "hwnd:$IFACES_PAGE" 1035 >/dev/null || e2e_fail "cannot press \"&Refresh\"" || return 1
    e2e_wait_count 1 $((lists + 1)) 5 || return 1
    ifaces_wait_list || return 1
    ifaces_expect_items "4:Gigabit Ethernet Adapter (PCI)" || return 1
    ifaces_expect_buttons no yes no yes || return 1
    tray_unload "$IFACES_AGENT"
}

# ifaces_line_down <n>: Down pressed n times in the list, as a user moves on.
ifaces_line_down() {
    local list i
    list=$(tray_driver list-children "hwnd:$IFACES_PAGE" | tr -d '\r' | awk -F'\t' '$2 == 1029 { print $1 }')
    for ((i = 0; i < $1; i++)); do
        tray_driver key "hwnd:$list" $VK_DOWN >/dev/null || e2e_fail "the list does not take Down" || return 1
    done
}

ifaces_selected_is() {
    [ "$(ifaces_selected)" = "$1" ]
}

ifaces_box_says() {
    [ "$(tray_driver msgbox "$1" --timeout 1000 | tr -d '\r' | sed -n 's/^text=//p')" = "$2" ]
}

# ifaces_await_box <caption> <text>: a box that is still being made shows
# no text yet, so it is read until it says that.
ifaces_await_box() {
    e2e_until 12 ifaces_box_says "$1" "$2" || e2e_fail "no box \"$1\" saying \"$2\""
}

# ifaces_run_single <button> <caption>: presses it and waits for the
# progress dialog of one interface to end.
ifaces_run_single() {
    local dialog
    tray_driver press "hwnd:$IFACES_PAGE" "$1" >/dev/null || e2e_fail "cannot press $1" || return 1
    [ "$1" = 1033 ] && { ifaces_await_box "$2" "$IFACES_UNBIND_QUESTION" && ifaces_answer "$2" $IDYES || return 1; }
    dialog=$(ifaces_progress "$2") || { e2e_fail "no progress dialog \"$2\""; return 1; }
    ifaces_wait_gone "$dialog"
}

IFACES_UNBIND_QUESTION="If you are do unbind, you are posibble lost of statisic active network connection(s).  Are you sure?"

# "&Bind selected" and "&Unbind selected" act on the selected line only;
# unbinding asks first, and No sends nothing.
case_interfaces_bind_selected() {
    # Each request 5 takes a while, so its progress dialog can be seen.
    e2e_sim_start interfaces.scn "request-delay 5 1000" || return 1
    ifaces_open || return 1
    local pid
    pid=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$TRAY_MAIN" '$5 == c { print $2; exit }')
    ifaces_line_down 3 || return 1
    e2e_until 12 ifaces_selected_is "USB Ethernet Adapter" || e2e_fail "Down selected \"$(ifaces_selected)\"" || return 1
    ifaces_expect_buttons yes no yes yes || return 1
    ifaces_run_single 1034 "$IFACES_BINDING" || return 1
    ifaces_wait_list || return 1
    [ "$(e2e_simctl bind-requests)" = "1 $pid USB Ethernet Adapter" ] ||
        e2e_fail "request 5 received [$(e2e_simctl bind-requests | tr '\n' '|')]" || return 1
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "2:Gigabit Ethernet Adapter (PCI)" "5:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1
    ifaces_selected_is "USB Ethernet Adapter" || e2e_fail "selection moved to \"$(ifaces_selected)\"" || return 1
    ifaces_expect_buttons no yes yes yes || return 1

    tray_driver press "hwnd:$IFACES_PAGE" 1033 >/dev/null || e2e_fail "cannot press \"&Unbind selected\"" || return 1
    ifaces_await_box "$IFACES_UNBINDING" "$IFACES_UNBIND_QUESTION" || return 1
    ifaces_answer "$IFACES_UNBINDING" $IDNO || return 1
    tray_driver wait-gone "$IFACES_UNBINDING" --timeout 3000 >/dev/null || e2e_fail "the question stayed after No" || return 1
    ifaces_expect_buttons no yes yes yes || return 1
    [ "$(e2e_simctl count 5)" = 1 ] || e2e_fail "No still sent request 5" || return 1
    ifaces_run_single 1033 "$IFACES_UNBINDING" || return 1
    ifaces_wait_list || return 1
    [ "$(e2e_simctl bind-requests | tail -1)" = "0 $pid USB Ethernet Adapter" ] ||
        e2e_fail "request 5 received [$(e2e_simctl bind-requests | tr '\n' '|')]" || return 1
    ifaces_expect_items "6:Fast Ethernet 10/100 PCI Adapter" "11:Docking Station Ethernet" \
        "2:Gigabit Ethernet Adapter (PCI)" "3:USB Ethernet Adapter" "5:Wireless LAN Adapter 802.11g" \
        "7:Dial-up Modem Adapter" "1:WAN Miniport (PPTP)" || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$IFACES_AGENT"
}

run_interfaces_bind_selected() { ifaces_case case_interfaces_bind_selected; }
run_interfaces_list_and_bind_all() { ifaces_case case_interfaces_list_and_bind_all; }
run_interfaces_errors() { ifaces_case case_interfaces_errors; }
run_interfaces_escape() { ifaces_case case_interfaces_escape; }
run_interfaces_service_stopped() { ifaces_case case_interfaces_service_stopped; }

e2e_case interfaces-list-and-bind-all run_interfaces_list_and_bind_all
e2e_case interfaces-errors run_interfaces_errors
e2e_case interfaces-escape run_interfaces_escape
e2e_case interfaces-service-stopped run_interfaces_service_stopped
e2e_case interfaces-bind-selected run_interfaces_bind_selected
