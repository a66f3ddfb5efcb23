#!/bin/bash
# Drives the agent against a churning simulator for a while and checks that
# it comes out whole:
#   tests/soak/run.sh [bin-dir] [seconds]        (default 3600)
# Every round opens and closes the monitors, the statistics window and the
# preferences with each of its pages, while the simulator connects and
# drops an adapter, and now and then restarts the service. At the end the
# agent must still answer, every reply must have been released exactly
# once, its handle count and private bytes must be where the first rounds
# left them, and its own settings must be as they were. Prints the figures.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/win64/bin}
seconds=${2:-3600}
e2e_case() { :; }
. "$root/tests/e2e/lib.sh"

STATS_WINDOW="ZorvanHAgent Interface Statistics"
failed=0
fail() { echo "soak: $*"; failed=1; }

settings() {  # the agent's own keys, without the monitors' positions
    e2e_wine reg query "$E2E_AGENT_KEY\\General" 2>/dev/null | tr -d '\r' | grep REG_
    e2e_wine reg query "$E2E_AGENT_KEY\\StatisticWindow" 2>/dev/null | tr -d '\r' | grep REG_
}

# wait_shown <caption>: a window so named is on show within 8 s.
wait_shown() {
    local tries=0
    while [ $tries -lt 32 ]; do
        tray_driver list-windows | tr -d '\r' | awk -F'\t' -v c="$1" '$5 == c && $3 == "visible"' | grep -q . && return 0
        sleep 0.25
        tries=$((tries + 1))
    done
    e2e_fail "\"$1\" not on show"
}

# The menu under wine sometimes reports a dismissal although it took the
# choice, so what counts is the window that the choice brings up.
round() {  # round <n>
    monitor_open 0 "$MONITOR_LAN" || wait_shown "$MONITOR_LAN" || return 1
    tray_choose $VK_DOWN $VK_RETURN
    wait_shown "$STATS_WINDOW" || return 1
    tray_choose $VK_DOWN $VK_DOWN $VK_RETURN
    wait_shown "$TRAY_MAIN" || return 1
    local page
    for page in 2 3 4 1; do prefs_select $page || return 1; done
    tray_driver press "$TRAY_MAIN" 70 --timeout 3000 >/dev/null || { e2e_fail "cannot close the preferences"; return 1; }
    tray_driver send "$STATS_WINDOW" 0x0010 --timeout 5000 >/dev/null
    tray_driver wait-gone "$STATS_WINDOW" --timeout 8000 >/dev/null || { e2e_fail "statistics window stays"; return 1; }
    monitor_close "$MONITOR_LAN" || return 1
    e2e_simctl set-interface lan connected=$(($1 % 2)) >/dev/null
    if [ $(($1 % 10)) = 5 ]; then
        e2e_simctl stop-service >/dev/null && sleep 2 && e2e_simctl start-service >/dev/null
    fi
}

e2e_setup "$bin" "${E2E_ARTIFACTS:-$root/out/soak}" || { echo "setup failed: $E2E_REASON"; exit 1; }
e2e_reset_registry
e2e_sim_start default.scn "set-interface lan rx-rate=4000000,0,9000000 tx-rate=1000000" || { echo "$E2E_REASON"; exit 1; }
tray_agent_start || { echo "$E2E_REASON"; exit 1; }
agent=$E2E_LAST_PID
pid=$(monitor_agent_pid)
before=$(settings)

start=$(date +%s) n=0 first=""
while [ $(($(date +%s) - start)) -lt "$seconds" ]; do
    n=$((n + 1))
    round $n || { fail "round $n: $E2E_REASON"; e2e_shot soak-failed; break; }
    # The first rounds make what stays for the run.
    [ $n = 3 ] && first=$(monitor_measure "$pid")
done
e2e_simctl set-interface lan connected=1 >/dev/null
sleep 3
last=$(monitor_measure "$pid")
after=$(settings)
[ -n "$first" ] || fail "fewer than three rounds"
# After a failed round windows may still be open, so the counts would not
# compare; the failure is the finding then.
[ $failed = 0 ] || last=$first
tray_driver wait-window "$E2E_EXIT_WINDOW" --timeout 5000 >/dev/null || fail "the agent no longer answers"
[ "$before" = "$after" ] || fail "settings changed: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
tray_unload "$agent" || fail "unload: $E2E_REASON"
sleep 1
e2e_ledger_clean 1 || fail "$E2E_REASON"
read -r _ _ h0 p0 <<<"${first:-0 0 0 0}"
read -r _ _ h1 p1 <<<"${last:-0 0 0 0}"
[ "$h1" -le $((h0 + 10)) ] || fail "handles grew from $h0 to $h1"
[ "$p1" -le $((p0 + 4194304)) ] || fail "private bytes grew from $p0 to $p1"
echo "soak: $n rounds in $(($(date +%s) - start)) s; handles $h0 -> $h1; private bytes $p0 -> $p1; $(e2e_ledger)"
[ $failed = 0 ] && echo "soak: passed" || echo "soak: FAILED"
exit $failed
