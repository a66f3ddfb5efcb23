# Start, single instance and unload.

case_start_and_unload() {
    e2e_sim_start default.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_driver mutex-exists ZorvanHAgentMtStillRunning >/dev/null ||
        e2e_fail "mutex ZorvanHAgentMtStillRunning missing while the agent runs" || return 1
    e2e_wait_count 1 1 5 || return 1
    e2e_shot start-and-unload
    # Once its tray icon is in place the agent shows no window of its own;
    # judged last so that the unload is checked either way.
    local shown
    sleep 1
    shown=$(e2e_driver list-windows | tr -d '\r' |
        awk -F'\t' '$5 == "ZorvanHAgent Preferences - " && $3 == "visible"')
    e2e_unload "$agent" || return 1
    e2e_ledger_clean 1 || return 1
    [ -z "$shown" ] || e2e_fail "main window \"ZorvanHAgent Preferences - \" visible after start"
}

case_second_start() {
    e2e_sim_start default.scn || return 1
    e2e_agent_start
    local first=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_agent_start
    local second=$E2E_LAST_PID
    e2e_expect_msgbox "ZorvanHAgent already running." exclamation || return 1
    e2e_shot second-start
    e2e_press_ok || return 1
    e2e_expect_exit "$second" 0 5 || return 1
    kill -0 "$first" 2>/dev/null || e2e_fail "the first agent ended too" || return 1
    e2e_expect_window "$E2E_EXIT_WINDOW" 1000 || return 1
    e2e_unload "$first" || return 1
    e2e_ledger_clean 1
}

e2e_case start-and-unload case_start_and_unload
e2e_case second-start case_second_start
