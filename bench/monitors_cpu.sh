#!/bin/bash
# The agent's CPU time with eight monitor windows open against the simulator,
# as a share of one core:
#   bench/monitors_cpu.sh [bin-dir] [seconds] [monitors]
# Runs in a private wine prefix and Xvfb display like the end-to-end cases.
# The agent's own process is measured (user and system time from /proc);
# what wineserver spends on its behalf is reported beside it, shared with
# the simulator.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/win64/bin}
seconds=${2:-120}
monitors=${3:-8}
e2e_case() { :; }
. "$root/tests/e2e/lib.sh"
. "$root/bench/process_cpu.sh"

# Xlib reads the resource files again on every lookup while it has found
# none at all, and wine looks up a resource for each new device context:
# one harmless resource keeps that wine-and-Xvfb cost out of the figure.
resources=$(mktemp)
echo "ZorvanHBench.unused: 1" >"$resources"
export XENVIRONMENT=$resources
e2e_setup "$bin" "$root/out/bench-monitors-win$(e2e_pe_arch "$bin/ZorvanHAgent.exe")" || { echo "setup failed: $E2E_REASON"; exit 1; }
e2e_reset_registry
e2e_sim_start eight-monitors.scn || { echo "$E2E_REASON"; exit 1; }
for i in $(seq 1 "$monitors"); do
    x=$((((i - 1) % 4) * 210 + 10)) y=$((((i - 1) / 4) * 140 + 10))
    monitor_place "000$((i - 1))" "{00000000-0000-4000-8000-00000000000$i}" $x $y $((x + 200)) $((y + 128)) \
        PopupWhenConnected || exit 1
done
e2e_wine reg add "$E2E_AGENT_KEY\\General" /v ShowMonitorWindows /t REG_BINARY /d 01 /f >/dev/null
tray_agent_start || { echo "$E2E_REASON"; exit 1; }
agent=$E2E_LAST_PID

open=0
for n in $(seq 1 40); do
    open=$(tray_driver list-windows | tr -d '\r' | awk -F'\t' '$5 ~ /^Adapter [1-8]$/ && $3 == "visible"' | wc -l)
    [ "$open" = "$monitors" ] && break
    [ $((n % 8)) = 0 ] && e2e_simctl signal status >/dev/null
    sleep 0.5
done
[ "$open" = "$monitors" ] || { e2e_shot monitors-8-missing; echo "only $open monitor windows opened"; exit 1; }

pid=$(cpu_unix_pid ZorvanHAgent.exe) || { echo "no agent process found"; exit 1; }
sleep 5
e2e_shot monitors-8
cpu_measure "$pid" "$seconds" "$monitors monitors, agent"
tray_unload "$agent" >/dev/null 2>&1
