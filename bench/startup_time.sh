#!/bin/bash
# Time from starting the agent to its icon's tip in the notification area,
# against the simulator, under wine:
#   bench/startup_time.sh [bin-dir] [runs]
# Each run starts the agent on the harness's virtual desktop and polls the
# shell's tooltips through the driver, so a figure includes up to one poll
# (about a quarter second) of lag. The first run also makes the desktop,
# which takes wine's explorer seconds; the median leaves it out.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/win64/bin}
runs=${2:-5}
e2e_case() { :; }
. "$root/tests/e2e/lib.sh"

e2e_setup "$bin" "$root/out/bench-startup-win$(e2e_pe_arch "$bin/ZorvanHAgent.exe")" || { echo "setup failed: $E2E_REASON"; exit 1; }
e2e_reset_registry
e2e_sim_start default.scn || { echo "$E2E_REASON"; exit 1; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }
times=()
for run in $(seq 1 "$runs"); do
    t0=$(now_ms)
    tray_agent_start || { echo "run $run: $E2E_REASON"; exit 1; }
    times+=($(($(now_ms) - t0)))
    tray_unload "$E2E_LAST_PID" || { echo "run $run: $E2E_REASON"; exit 1; }
done
printf '%s\n' "${times[@]}" | sort -n | awk -v n="$runs" '
    { t[NR] = $1 } END { printf "start-up to the tray icon, %d runs: median %d ms, best %d ms, worst %d ms\n", n, t[int((n + 1) / 2)], t[1], t[n] }'
