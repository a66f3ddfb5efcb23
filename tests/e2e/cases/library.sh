# Loading and initialising the interface library, with and without a service.

case_library_missing() {
    local alone="$E2E_TMP/alone"
    rm -rf "$alone" && mkdir -p "$alone" && cp "$E2E_BIN/ZorvanHAgent.exe" "$alone/" || return 1
    e2e_agent_start "$alone"
    local agent=$E2E_LAST_PID
    e2e_expect_msgbox "Can't load interface library ZorvanHServiceIO.dll." hand || return 1
    e2e_shot library-missing
    e2e_press_ok || return 1
    e2e_expect_exit "$agent" 0 5
}

# library_other_bin: the bin folder of the other architecture's build, from
# E2E_OTHER_BIN or beside this one (build/win32 and build/win64).
library_other_bin() {
    if [ -n "${E2E_OTHER_BIN:-}" ]; then
        printf '%s' "$E2E_OTHER_BIN"
        return
    fi
    case $E2E_BIN in
        */win32/bin) printf '%s' "${E2E_BIN%/win32/bin}/win64/bin" ;;
        */win64/bin) printf '%s' "${E2E_BIN%/win64/bin}/win32/bin" ;;
    esac
}

# A library of the other architecture beside the agent, with the service
# running: it cannot be loaded, and the agent says so and ends cleanly.
case_library_other_arch() {
    local other alone="$E2E_TMP/other-arch"
    other=$(library_other_bin)
    [ -f "$other/ZorvanHServiceIO.dll" ] ||
        { e2e_fail "no library of the other architecture at \"$other\" (set E2E_OTHER_BIN)"; return 1; }
    [ "$(e2e_pe_arch "$other/ZorvanHServiceIO.dll")" != "$E2E_ARCH" ] ||
        { e2e_fail "$other/ZorvanHServiceIO.dll is a $E2E_ARCH-bit library too"; return 1; }
    rm -rf "$alone" && mkdir -p "$alone" && cp "$E2E_BIN/ZorvanHAgent.exe" "$other/ZorvanHServiceIO.dll" "$alone/" ||
        return 1
    e2e_sim_start default.scn || return 1
    e2e_agent_start "$alone"
    local agent=$E2E_LAST_PID
    e2e_expect_msgbox "Can't load interface library ZorvanHServiceIO.dll." hand || return 1
    e2e_shot library-other-arch
    e2e_press_ok || return 1
    e2e_expect_exit "$agent" 0 5 || return 1
    [ "$(e2e_simctl count 1)" = 0 ] || e2e_fail "the agent reached the service through the foreign library"
}

case_library_init_fails() {
    e2e_sim_start wrong-version.scn || return 1
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_msgbox "Can't initialize interface library ZorvanHServiceIO.dll." hand || return 1
    e2e_shot library-init-fails
    e2e_press_ok || return 1
    e2e_expect_exit "$agent" 0 5 || return 1
    e2e_sim_stop
    # The one status besides success that initialisation accepts.
    e2e_sim_start default.scn "fault init status=0xC0FE0002 times=1" || return 1
    e2e_agent_start
    agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_unload "$agent"
}

# Runs the agent for a while against whatever service state there is.
e2e_run_without_service() {
    e2e_agent_start
    local agent=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    sleep 2
    e2e_expect_responsive "$agent" || return 1
    e2e_shot "$1"
    e2e_unload "$agent"
}

case_service_not_started() {
    e2e_run_without_service no-simulator || return 1
    e2e_sim_start not-started.scn || return 1
    e2e_run_without_service service-not-started || return 1
    e2e_ledger_clean 0
}

e2e_case library-missing case_library_missing
e2e_case library-other-arch case_library_other_arch
e2e_case library-init-fails case_library_init_fails
e2e_case service-not-started case_service_not_started
