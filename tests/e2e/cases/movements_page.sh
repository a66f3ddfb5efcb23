# The Movements page: only the interfaces the service keeps although they
# are gone, and their deletion with the monitor settings kept for them.
# Uses the helpers of interfaces_page.sh, tray.sh and preferences.sh.

MOVES_DELETING="ZorvanH Agent is deleting..."
MOVES_ASKING='ZorvanHAgent delete "Not Present" interface'
MOVES_NONE='"Not Present" network interfaces were not found'

moves_button_enabled() {
    prefs_enabled "$MOVES_PAGE" 1058
}

# moves_wait_list <image>:<text>...: until the list shows these lines.
moves_wait_list() {
    local tries=0
    while [ $tries -lt 40 ]; do
        ifaces_lines_are "$MOVES_PAGE" 1072 "$@" && return 0
        sleep 0.25
        tries=$((tries + 1))
    done
    ifaces_lines_fail "$@"
}

moves_open() {
    ifaces_open_on 4 || return 1
    MOVES_PAGE=$(prefs_page_with 1072) || e2e_fail "no Movements page" || return 1
}

moves_store_monitor() {
    e2e_wine reg add "$MONITORS_KEY\\$1" /v Name /t REG_SZ /d "$2" /f >/dev/null ||
        e2e_fail "cannot store monitor $1"
}

moves_key_exists() {
    e2e_wine reg query "$MONITORS_KEY\\$1" >/dev/null 2>&1
}

# moves_after_error <list requests before>: after a failed delete's OK the
# page lists again; done once the list came and the button is back.
moves_after_error() {
    e2e_wait_count 1 $(($1 + 1)) 5 || { E2E_REASON="the list was not fetched again: $E2E_REASON"; return 1; }
    shift
    moves_wait_list "$@" || return 1
    e2e_until 12 moves_button_enabled || e2e_fail "the delete button stays disabled after the list came"
}

# moves_delete <name>: asks, answers Yes and waits for the progress dialog to end.
moves_delete() {
    local dialog
    tray_driver press "hwnd:$MOVES_PAGE" 1058 >/dev/null || e2e_fail "cannot press the delete button" || return 1
    # The box's first line; " Are you sure?" follows on the second.
    ifaces_expect_box "$MOVES_ASKING" "\"Not Present\" network interface: $1 will be deleted." || return 1
    ifaces_answer "$MOVES_ASKING" $IDYES || return 1
    dialog=$(ifaces_progress "$MOVES_DELETING") || return 1
    ifaces_wait_gone "$dialog" 5000
}

case_movements_list_and_delete() {
    e2e_sim_start movements.scn "request-delay 10 800" || return 1
    moves_store_monitor 0000 LAN-PRESENT-1 || return 1
    moves_store_monitor 0001 GONE-CARD-1 || return 1
    moves_open || return 1
    moves_wait_list "6:Fast Ethernet 10/100 PCI Adapter" "6:Old Dial-up Modem" || return 1
    moves_button_enabled || e2e_fail "the delete button is disabled" || return 1
    e2e_shot movements-page

    moves_delete "Fast Ethernet 10/100 PCI Adapter" || return 1
    moves_wait_list "6:Old Dial-up Modem" || return 1
    moves_key_exists 0001 && e2e_fail "the gone card's monitor settings stay" && return 1
    moves_key_exists 0000 || e2e_fail "the present adapter's monitor settings went" || return 1

    # No identifier: the service forgets it, the registry stays as it was.
    moves_delete "Old Dial-up Modem" || return 1
    moves_wait_list "13:$MOVES_NONE" || return 1
    moves_button_enabled && e2e_fail "the delete button is enabled over an empty list" && return 1
    moves_key_exists 0000 || e2e_fail "monitor settings went with an interface without id" || return 1
    tray_unload "$IFACES_AGENT"
}

case_movements_delete_fails() {
    e2e_sim_start movements.scn "fault status code=10 status=0xC0FE0001" || return 1
    moves_store_monitor 0000 GONE-CARD-1 || return 1
    moves_open || return 1
    moves_wait_list "6:Fast Ethernet 10/100 PCI Adapter" "6:Old Dial-up Modem" || return 1
    local lists
    lists=$(e2e_simctl count 1)
    tray_driver press "hwnd:$MOVES_PAGE" 1058 >/dev/null || return 1
    ifaces_answer "$MOVES_ASKING" $IDYES || return 1
    ifaces_expect_box "$MOVES_DELETING" "Error occured during the operation." || return 1
    ifaces_answer "$MOVES_DELETING" 1 || return 1
    moves_after_error "$lists" "6:Fast Ethernet 10/100 PCI Adapter" "6:Old Dial-up Modem" || return 1
    moves_key_exists 0000 || e2e_fail "a failed delete took the monitor settings" || return 1
    tray_unload "$IFACES_AGENT"
}

run_movements_list_and_delete() { ifaces_case case_movements_list_and_delete; }
run_movements_delete_fails() { ifaces_case case_movements_delete_fails; }

e2e_case movements-list-and-delete run_movements_list_and_delete
e2e_case movements-delete-fails run_movements_delete_fails
