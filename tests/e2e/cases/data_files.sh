# Data-files operations from the General page's "Browse...": a backup that
# carries the settings key, a restore that brings it back over a changed
# setting, an open monitor taking its restored look, and a cancelled
# operation. Uses the helpers of general_page.sh, tray.sh, preferences.sh,
# monitors.sh and lib.sh. The folder browser opens on the current
# folder, which the simulator names with a trailing backslash, so its OK
# gives a different path.

DF_CHOICE="ZorvanHAgent Data Files Operation"
DF_PROGRESS="ZorvanH Agent is working, wait please..."
DF_BROWSER="Browse for Folder"

df_expect_msgbox() {
    local out text
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout "${2:-15000}") ||
        { e2e_fail "no message box \"$1\""; return 1; }
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^text=//p')
    [ "$text" = "$1" ] || { e2e_fail "message box says \"$text\", not \"$1\""; return 1; }
}

df_bar_moved() {
    [ -n "$1" ] && [ "$(ifaces_bar "$1")" -gt 0 ]
}

df_answer() {
    tray_driver press "$E2E_TITLE" "$1" --msgbox --timeout 3000 >/dev/null || e2e_fail "cannot answer $1"
}

# df_open_choice: the browser's OK on the current folder, up to the action
# dialog, left open.
df_open_choice() {
    tray_driver press "hwnd:$GENERAL_PAGE" 1058 >/dev/null || { e2e_fail "cannot press Browse..."; return 1; }
    tray_driver wait-window "$DF_BROWSER" --timeout 10000 >/dev/null || { e2e_fail "no folder browser"; return 1; }
    # OK is enabled once the preselected folder has been checked.
    local tries=0
    until tray_driver press "$DF_BROWSER" 1 >/dev/null && tray_driver wait-window "$DF_CHOICE" --timeout 1000 >/dev/null; do
        tries=$((tries + 1))
        [ $tries -ge 10 ] && { e2e_fail "the browser's OK does not lead to the action dialog"; return 1; }
    done
}

# df_choose <mode radio id>: browser, then the action dialog with that mode.
df_choose() {
    df_open_choice || return 1
    [ "$1" = 1075 ] || tray_driver press "$DF_CHOICE" "$1" --click >/dev/null || { e2e_fail "cannot pick mode $1"; return 1; }
    e2e_shot "data-files-choice-$1"
    # Once in a CI run the press failed at once on a dialog that a moment
    # before was on screen: pressed again while it is there; if it has gone,
    # the log keeps what the desktop showed instead.
    local presses=0
    until tray_driver press "$DF_CHOICE" 1 >/dev/null; do
        presses=$((presses + 1))
        if [ $presses -ge 3 ] || ! tray_driver wait-window "$DF_CHOICE" --timeout 500 >/dev/null; then
            e2e_log "top-level windows: $(tray_driver list-windows | tr -d '\r' | tr '\n\t' '; ')"
            e2e_fail "cannot press OK"
            return 1
        fi
        e2e_log "press $presses on the action dialog's OK failed; the dialog is still there"
    done
    tray_driver wait-window "$DF_PROGRESS" --timeout 10000 >/dev/null || e2e_fail "no progress dialog"
}

df_expect_sim() {
    local got
    got=$(e2e_simctl data-files | tr -d '\r')
    [[ "$got" == *"$1"* ]] || e2e_fail "simulator reports \"$got\", wanted \"$1\""
}

case_data_files_backup_restore() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=1500" || return 1
    general_start || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 00 || return 1
    df_choose 1074 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    df_expect_sim "last=12 flags=6 " || return 1
    [[ "$(e2e_simctl data-files)" != *"snapshot=0 "* ]] || e2e_fail "the backup carried no snapshot" || return 1

    general_click 1074 || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 01 || return 1
    df_choose 1080 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    df_expect_sim "last=13 flags=3 " || return 1
    general_expect_value "$STATWIN_KEY" SpeedInBytesPerSecond 00 || return 1
    tray_unload "$GENERAL_AGENT"
}

# The monitor opens at 30 %; the backup carries 60 % and the registry goes
# back to 30 % behind the monitor's back, so only the restore's reload can
# bring it to 60 %.
case_data_files_restore_looks() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=1500" || return 1
    monpage_store 0000 "$MONITOR_LAN_ID" 30 1040 60 && monpage_store 0001 "$MONITOR_WLAN_ID" 51 1040 300 &&
        monpage_import || return 1
    general_start || return 1
    monitor_open 0 "$MONITOR_LAN" || return 1
    local got
    got=$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')
    [ "$got" = "layered 178" ] || e2e_fail "monitor at 30% is \"$got\"" || return 1
    e2e_wine reg add "$LAN_KEY" /v TransparentLevel /t REG_DWORD /d 60 /f >/dev/null || return 1
    df_choose 1074 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    e2e_wine reg add "$LAN_KEY" /v TransparentLevel /t REG_DWORD /d 30 /f >/dev/null || return 1
    got=$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')
    [ "$got" = "layered 178" ] || e2e_fail "the monitor changed before the restore: \"$got\"" || return 1

    df_choose 1080 || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    [ "$(monpage_reg "$LAN_KEY" TransparentLevel)" = "REG_DWORD 0x3c" ] ||
        e2e_fail "restored value: $(monpage_reg "$LAN_KEY" TransparentLevel)" || return 1
    local tries=0
    until [ "$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')" = "layered 102" ]; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || { e2e_fail "the open monitor kept \"$(tray_driver layered "$MONITOR_LAN" | tr -d '\r')\""; return 1; }
        sleep 0.25
    done
    e2e_shot data-files-restored-monitor
    tray_unload "$GENERAL_AGENT"
}

case_data_files_cancel() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=60000" || return 1
    general_start || return 1
    df_choose 1075 || return 1
    local progress
    progress=$(tray_driver wait-window "$DF_PROGRESS" --timeout 10000 | tr -d '\r')
    # The picture shows the bar on its way.
    e2e_until 20 df_bar_moved "$progress" || e2e_fail "the progress bar stays at 0" || return 1
    e2e_shot data-files-progress
    tray_driver press "$DF_PROGRESS" 2 >/dev/null || { e2e_fail "cannot press Cancel"; return 1; }
    df_expect_msgbox "Do you want to cancel operation?" && df_answer 6 || return 1
    df_expect_msgbox "Operation has been canceled!" && df_answer 1 || return 1
    df_expect_sim "cancelled=1" || return 1
    df_expect_sim "last=8 flags=1 " || return 1
    tray_driver wait-gone "$DF_PROGRESS" --timeout 5000 >/dev/null || e2e_fail "progress dialog left open" || return 1
    tray_unload "$GENERAL_AGENT"
}

# The folder chosen is the current one (named here without
# a trailing backslash, so the browser's OK gives it back as it is): the
# identical-path message shows the whole folder, and nothing else happens.
case_data_files_identical_path() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32' || return 1
    general_start || return 1
    tray_driver press "hwnd:$GENERAL_PAGE" 1058 >/dev/null || { e2e_fail "cannot press Browse..."; return 1; }
    tray_driver wait-window "$DF_BROWSER" --timeout 10000 >/dev/null || { e2e_fail "no folder browser"; return 1; }
    # OK is enabled once the preselected folder has been checked.
    local tries=0 out="" text wanted
    until out=$(tray_driver msgbox "$E2E_TITLE" --timeout 1000); do
        tries=$((tries + 1))
        [ $tries -ge 10 ] && { e2e_fail "the browser's OK brings no message"; return 1; }
        tray_driver press "$DF_BROWSER" 1 >/dev/null
    done
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n '/^text=/,$p' | sed '1s/^text=//')
    wanted=$(printf '%s\n' 'Current and Selected path are identical:' '"C:\windows\system32"' 'They must be different!')
    [ "$text" = "$wanted" ] || { e2e_fail "message box says \"$text\""; return 1; }
    e2e_shot data-files-identical-path
    df_answer 1 || return 1
    ! tray_driver wait-window "$DF_CHOICE" --timeout 1500 >/dev/null || e2e_fail "the action dialog opened" || return 1
    tray_unload "$GENERAL_AGENT"
}

df_check() {
    local box
    box=$(tray_driver list-children "$DF_CHOICE" | tr -d '\r' | awk -F'\t' -v id="$1" '$2 == id { print $1; exit }')
    [ -n "$box" ] && tray_driver send "hwnd:$box" $BM_GETCHECK | tr -d '\r'
}

# df_click <id>...: each radio or box of the action dialog clicked; a radio
# is then checked, a box turned.
df_click() {
    local id before want
    for id in "$@"; do
        before=$(df_check "$id")
        tray_driver press "$DF_CHOICE" "$id" --click >/dev/null || { e2e_fail "cannot click $id"; return 1; }
        case " 1074 1075 1080 " in
            *" $id "*) want=0x1 ;;
            *) [ "$before" = 0x1 ] && want=0x0 || want=0x1 ;;
        esac
        [ "$(df_check "$id")" = "$want" ] || { e2e_fail "a click left $id at $(df_check "$id"), not $want"; return 1; }
    done
}

# df_expect_question <line>...: sets DF_QUESTION, the box's hwnd.
df_expect_question() {
    local out text
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout 8000) || { e2e_fail "no question"; return 1; }
    DF_QUESTION=$(printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^hwnd=//p')
    text=$(printf '%s\n' "$out" | tr -d '\r' | sed -n '/^text=/,$p' | sed '1s/^text=//')
    [ "$text" = "$(printf '%s\n' "$@")" ] || e2e_fail "the question says \"$text\""
}

# The answer, and the question gone: a box that comes after it has the same
# caption.
df_answer_question() {
    df_answer "$1" || return 1
    tray_driver wait-gone "hwnd:$DF_QUESTION" --timeout 3000 >/dev/null || e2e_fail "the question stayed after $1"
}

df_no_progress() {
    ! tray_driver wait-window "$DF_PROGRESS" --timeout 1500 >/dev/null || e2e_fail "a progress dialog opened"
}

df_counts() {
    printf '%s/%s/%s' "$(e2e_simctl count 8)" "$(e2e_simctl count 12)" "$(e2e_simctl count 13)"
}

# OK with no content chosen asks: Yes goes back to the action dialog, where
# a choice then starts the operation; No ends it with nothing sent. Cancel
# leaves the folder, the settings and the service as they were.
case_data_files_choice_empty() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=1500" || return 1
    general_start || return 1
    df_open_choice || return 1
    df_click 1080 1065 1066 || return 1
    tray_driver press "$DF_CHOICE" 1 >/dev/null || e2e_fail "cannot press OK" || return 1
    df_expect_question "For restore backup you must select which information you want to restore" \
        "Do you want to select (Data Files or(and) Configuration Information)?" || return 1
    df_answer_question 6 || return 1
    tray_driver wait-window "$DF_CHOICE" --timeout 1000 >/dev/null || e2e_fail "Yes closed the action dialog" || return 1
    df_no_progress || return 1
    [ "$(df_check 1080)" = 0x1 ] && [ "$(df_check 1066)" = 0x0 ] || e2e_fail "Yes changed the dialog's choices" || return 1
    [ "$(df_counts)" = 0/0/0 ] || e2e_fail "Yes sent an operation: $(df_counts)" || return 1
    df_click 1066 || return 1
    tray_driver press "$DF_CHOICE" 1 >/dev/null || e2e_fail "cannot press OK" || return 1
    tray_driver wait-window "$DF_PROGRESS" --timeout 10000 >/dev/null || e2e_fail "no progress dialog" || return 1
    df_expect_msgbox "Operation complete, successfully." && df_answer 1 || return 1
    df_expect_sim "last=13 flags=1 " || return 1

    df_open_choice || return 1
    df_click 1074 1067 1068 || return 1
    tray_driver press "$DF_CHOICE" 1 >/dev/null || e2e_fail "cannot press OK" || return 1
    df_expect_question "For backup you must select which information you want to store" \
        "Do you want to select (Data Files or(and) Configuration Information)?" || return 1
    df_answer_question 7 || return 1
    tray_driver wait-gone "$DF_CHOICE" --timeout 3000 >/dev/null || e2e_fail "No left the action dialog" || return 1
    df_no_progress || return 1
    [ "$(df_counts)" = 0/0/1 ] || e2e_fail "No sent an operation: $(df_counts)" || return 1

    local settings service
    settings=$(e2e_wine reg query "$E2E_AGENT_KEY" /s | tr -d '\r')
    service=$(e2e_simctl data-files)
    df_open_choice || return 1
    df_click 1074 1062 || return 1
    tray_driver press "$DF_CHOICE" 2 >/dev/null || e2e_fail "cannot press Cancel" || return 1
    tray_driver wait-gone "$DF_CHOICE" --timeout 3000 >/dev/null || e2e_fail "Cancel left the action dialog" || return 1
    df_no_progress || return 1
    [ "$(df_counts)" = 0/0/1 ] && [ "$(e2e_simctl data-files)" = "$service" ] ||
        e2e_fail "Cancel reached the service: $(df_counts), $(e2e_simctl data-files)" || return 1
    [ "$(e2e_wine reg query "$E2E_AGENT_KEY" /s | tr -d '\r')" = "$settings" ] || e2e_fail "Cancel changed the settings" ||
        return 1
    general_expect_text 1002 'C:\windows\system32\' || return 1
    tray_unload "$GENERAL_AGENT"
}

df_sim_running() {
    [[ "$(e2e_simctl data-files)" == "running=1 last=8 "* ]]
}

df_sim_done() {
    [[ "$(e2e_simctl data-files)" == "running=0 last=8 "*" status=0 "* ]]
}

df_boxes() {
    tray_driver list-windows | tr -d '\r' | awk -F'\t' -v t="$E2E_TITLE" '$4 == "#32770" && $5 == t && $3 == "visible"' | wc -l
}

df_boxes_are() {
    [ "$(df_boxes)" = "$1" ]
}

# df_finish_under_question <answer>: the operation ends while the cancel
# question is open; the result waits for the answer, and whatever the
# answer, it is the operation's own.
df_finish_under_question() {
    local position out icon
    df_choose 1075 || return 1
    tray_driver press "$DF_PROGRESS" 2 >/dev/null || { e2e_fail "cannot press Cancel"; return 1; }
    df_expect_question "Do you want to cancel operation?" || return 1
    # The end of the operation before is not taken for this one's.
    e2e_until 20 df_sim_running || e2e_fail "the service runs no operation: $(e2e_simctl data-files)" || return 1
    e2e_until 40 df_sim_done || e2e_fail "the service's operation did not end: $(e2e_simctl data-files)" || return 1
    e2e_until 8 df_boxes_are 2 && { e2e_fail "the result came over the open question"; return 1; }
    df_boxes_are 1 || e2e_fail "$(df_boxes) message boxes under the question" || return 1
    e2e_shot "data-files-finished-under-question-$1"
    df_answer_question "$1" || return 1
    out=$(tray_driver msgbox "$E2E_TITLE" --timeout 8000 | tr -d '\r') || e2e_fail "no result after the answer" || return 1
    [ "$(printf '%s\n' "$out" | sed -n 's/^text=//p')" = "Operation complete, successfully." ] ||
        e2e_fail "the result says \"$(printf '%s' "$out" | sed -n 's/^text=//p')\"" || return 1
    # The icon is judged from screen pixels; only a confident answer counts.
    icon=$(printf '%s\n' "$out" | sed -n 's/^icon=//p')
    [ "$icon" = unknown ] || [ "$icon" = asterisk ] || e2e_fail "the result shows the $icon icon" || return 1
    position=$(tray_driver send "hwnd:$(tray_driver list-children "$DF_PROGRESS" | tr -d '\r' |
        awk -F'\t' '$2 == 1001 { print $1; exit }')" 0x408 | tr -d '\r')
    [ "$position" = 0x64 ] || e2e_fail "the progress bar stands at $position under the result" || return 1
    if [ "$1" = 6 ]; then
        tray_driver wait-enabled "$DF_PROGRESS" 2 off --timeout 2000 >/dev/null ||
            e2e_fail "Yes left \"&Cancel\" enabled" || return 1
    fi
    df_answer 1 || return 1
    tray_driver wait-gone "$DF_PROGRESS" --timeout 5000 >/dev/null || e2e_fail "progress dialog left open" || return 1
}

case_data_files_finish_under_question() {
    e2e_sim_start default.scn 'data-settings folder=C:\windows\system32\' "data-files duration=5000" || return 1
    general_start || return 1
    df_finish_under_question 6 || return 1
    df_finish_under_question 7 || return 1
    # The service was never asked to cancel an operation that had ended.
    df_expect_sim "cancelled=0" || return 1
    # Nothing is left busy: the tray's menu opens again.
    local menu
    menu=$(tray_open_menu) || return 1
    tray_keys "$menu" $VK_ESCAPE || e2e_fail "the menu closed by itself" || return 1
    e2e_ledger_clean 2 || return 1
    tray_unload "$GENERAL_AGENT"
}

run_data_files_backup_restore() { general_case case_data_files_backup_restore; }
run_data_files_restore_looks() { general_case case_data_files_restore_looks; }
run_data_files_cancel() { general_case case_data_files_cancel; }
run_data_files_identical_path() { general_case case_data_files_identical_path; }
run_data_files_choice_empty() { general_case case_data_files_choice_empty; }
run_data_files_finish_under_question() { general_case case_data_files_finish_under_question; }

e2e_case data-files-backup-restore run_data_files_backup_restore
e2e_case data-files-restore-looks run_data_files_restore_looks
e2e_case data-files-cancel run_data_files_cancel
e2e_case data-files-identical-path run_data_files_identical_path
e2e_case data-files-choice-empty run_data_files_choice_empty
e2e_case data-files-finish-under-question run_data_files_finish_under_question
