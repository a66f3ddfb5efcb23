# The agent's start-up options in the registry.

E2E_GENERAL_KEY="$E2E_AGENT_KEY\\General"

# e2e_expect_flag <name> [data]: a one-byte REG_BINARY, within 3 s.
e2e_expect_flag() {
    local tries=0 value="" data=${2:-"[0-9A-Fa-f]{2}"}
    local wanted="^REG_BINARY $data\$"
    while [ $tries -lt 10 ]; do
        value=$(e2e_reg_value "$E2E_GENERAL_KEY" "$1")
        [[ "$value" =~ $wanted ]] && return 0
        sleep 0.3
        tries=$((tries + 1))
    done
    e2e_fail "General\\$1 is \"${value:-missing}\", expected REG_BINARY ${2:-of one byte}"
}

case_first_start_options() {
    e2e_sim_start default.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    local name
    for name in SetDisableStateZorvanHAgent ShowMonitorWindows ShowStatisticsWindow; do
        e2e_expect_flag "$name" 00 || return 1
    done
    e2e_shot first-start-options
    e2e_unload "$agent" || return 1
    # What a first start leaves in the registry, for the record.
    e2e_wine reg export "$E2E_AGENT_KEY" "$(e2e_winpath "$E2E_ARTIFACTS/first-start.reg")" /y >/dev/null

    e2e_wine reg add "$E2E_GENERAL_KEY" /v ShowMonitorWindows /t REG_DWORD /d 0 /f >/dev/null ||
        e2e_fail "cannot prepare a REG_DWORD value" || return 1
    e2e_agent_start
    agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_expect_flag ShowMonitorWindows || return 1
    e2e_unload "$agent"
}

e2e_case first-start-options case_first_start_options
