# Odd replies to the interface list request.

case_busy_replies() {
    local busy
    busy=$(sed -n 's/^fault busy code=1 times=\([0-9]*\).*/\1/p' "$(e2e_scenario_path busy.scn)")
    [ -n "$busy" ] || e2e_fail "busy.scn has no busy fault for request 1" || return 1
    e2e_sim_start busy.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_wait_count 1 $((busy + 1)) 8 || return 1
    e2e_shot busy-replies
    e2e_unload "$agent" || return 1
    e2e_ledger_clean $((busy + 1))
}

# e2e_survive_scenario <scenario>: the scenario damages successive list
# replies; the service's change signals make the agent ask again.
e2e_survive_scenario() {
    e2e_sim_start "$1" || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_wait_count 1 1 5 || return 1
    for _ in 1 2 3; do
        e2e_simctl signal conf >/dev/null
        sleep 0.7
        e2e_simctl signal status >/dev/null
        sleep 0.7
    done
    e2e_log "$1: $(e2e_simctl count 1) list requests"
    e2e_expect_responsive "$agent" || return 1
    e2e_shot "broken-replies-${1%.scn}"
    e2e_unload "$agent" || return 1
    e2e_ledger_clean 1 || return 1
    e2e_sim_stop
}

case_broken_replies() {
    local scenario
    for scenario in malformed.scn truncated.scn; do
        e2e_survive_scenario "$scenario" || { E2E_REASON="$scenario: $E2E_REASON"; return 1; }
    done
}

e2e_case busy-replies case_busy_replies
e2e_case broken-replies case_broken_replies
