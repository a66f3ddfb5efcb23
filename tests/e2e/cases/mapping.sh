# The statistics mapping link. Every publication of a view wakes the
# interface refresh, which lists the interfaces again two seconds later, so
# a rise of the request-1 count is what shows a (re)publication. mapping.scn
# changes nothing by itself, so no other cause can raise the count.

# mapping_settled_count: prints the request-1 count once it has stayed the
# same for 2.5 s (longer than the refresh's settling time).
mapping_settled_count() {
    local last now same=0 tries=0
    last=$(e2e_simctl count 1)
    while [ $same -lt 5 ] && [ $tries -lt 30 ]; do
        sleep 0.5
        now=$(e2e_simctl count 1)
        if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; last=$now; fi
        tries=$((tries + 1))
    done
    printf '%s' "$last"
}

# mapping_expect_rise <count> <what>: the count reaches <count> within 6 s,
# then the refresh is given time to wait again before the next fault.
mapping_expect_rise() {
    e2e_wait_count 1 "$1" 6 || { E2E_REASON="$2: $E2E_REASON"; return 1; }
    sleep 0.5
}

# mapping_expect_quiet <seconds> <what>: sets MAPPING_BASE to the settled
# count, which must not rise in the seconds after.
mapping_expect_quiet() {
    MAPPING_BASE=$(mapping_settled_count)
    sleep "$1"
    [ "$(e2e_simctl count 1)" = "$MAPPING_BASE" ] || e2e_fail "list requested again while $2"
}

mapping_start_agent() {
    e2e_agent_start
    MAPPING_AGENT=$E2E_LAST_PID
    e2e_expect_window "$E2E_EXIT_WINDOW" || return 1
    e2e_wait_count 1 1 5
}

case_mapping_publish_and_rebuilds() {
    e2e_sim_start mapping.scn "mapping remove-entry" || return 1
    mapping_start_agent || return 1
    mapping_expect_quiet 1 "the directory had no statistics entry" || return 1
    local base=$MAPPING_BASE
    e2e_simctl mapping restore-entry >/dev/null || return 1
    mapping_expect_rise $((base + 1)) "publication once the entry is there" || return 1
    e2e_simctl mapping directory-invalid >/dev/null || return 1
    sleep 1.5
    [ "$(e2e_simctl count 1)" = $((base + 1)) ] ||
        e2e_fail "list requested while the directory was invalid" || return 1
    e2e_simctl mapping directory-valid >/dev/null || return 1
    mapping_expect_rise $((base + 2)) "republication after the directory was valid again" || return 1
    e2e_simctl mapping view-identity >/dev/null || return 1
    mapping_expect_rise $((base + 3)) "republication after a new view identity" || return 1
    e2e_unload "$MAPPING_AGENT" || return 1
    e2e_ledger_clean $((base + 3))
}

case_mapping_restart_and_abandoned_mutex() {
    e2e_sim_start mapping.scn || return 1
    mapping_start_agent || return 1
    local base mutex
    base=$(mapping_settled_count)
    e2e_simctl stop-service >/dev/null || return 1
    sleep 1.5
    e2e_simctl start-service >/dev/null || return 1
    mapping_expect_rise $((base + 1)) "republication after a service restart" || return 1
    e2e_simctl abandon-mutex >/dev/null || e2e_fail "simulator could not abandon its mutex" || return 1
    # The simulator's tick stays away for three seconds; by then the agent
    # must have taken the mutex over and released it again.
    sleep 4
    mutex=$(e2e_simctl mutex)
    e2e_log "server mutex: $mutex"
    case "$mutex" in
        *" abandoned=0 busy=0") ;;
        *) e2e_fail "server mutex not taken over and released by the agent: $mutex"; return 1 ;;
    esac
    e2e_simctl mapping directory-invalid >/dev/null || return 1
    sleep 1.5
    e2e_simctl mapping directory-valid >/dev/null || return 1
    mapping_expect_rise $((base + 2)) "republication after the mutex was taken over" || return 1
    e2e_unload "$MAPPING_AGENT" || return 1
    e2e_ledger_clean $((base + 2))
}

e2e_case mapping-publish-and-rebuilds case_mapping_publish_and_rebuilds
e2e_case mapping-restart-and-abandoned-mutex case_mapping_restart_and_abandoned_mutex
