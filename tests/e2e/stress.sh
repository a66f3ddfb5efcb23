#!/bin/bash
# Runs the whole end-to-end suite again and again and prints a table of the
# runs, to show that it passes every time and how long it takes:
#   tests/e2e/stress.sh [runs] [bin-dir]     (default 10 runs of build/win64/bin)
# E2E_STRESS_LOAD=1 keeps both cores busy with a native build from scratch,
# over and over, beside each run. Each run's log stays in out/e2e-stress/run-N.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$here/../..
bin=${2:-$root/build/win64/bin}
out=${E2E_STRESS_OUT:-$root/out/e2e-stress}
load=${E2E_STRESS_LOAD:-0}
mkdir -p "$out"
pid=""
stop_load() {
    [ -n "$pid" ] && kill -- -"$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    pid=""
    rm -rf "$out/load"
}
trap stop_load EXIT

bad=0
printf '%-4s %-7s %-7s %-18s %s\n' run passed failed "transport retries" minutes
for n in $(seq 1 "${1:-10}"); do
    if [ "$load" = 1 ]; then
        setsid bash -c 'while :; do rm -rf "$0"; cmake -S "$1" -B "$0" -G Ninja && cmake --build "$0" -j 2
            done >/dev/null 2>&1' "$out/load" "$root" &
        pid=$!
    fi
    log=$out/run-$n.txt started=$SECONDS
    E2E_ARTIFACTS="$out/run-$n" /usr/bin/python3 -m pytest "$here" -n 2 -p no:cacheprovider --bin "$bin" \
        >"$log" 2>&1
    stop_load
    # pytest's "== 2 failed, 63 passed in ..." and its "N transport retries".
    sum() {
        grep -E '^=+ .* in [0-9.]+s|^[0-9]+ transport retries$' "$log" | grep -oE "[0-9]+ $1" |
            awk '{t += $1} END {print t + 0}'
    }
    failed=$(sum failed)
    grep -qE '^=+ .* in [0-9.]+s' "$log" || failed=setup
    [ "$failed" = 0 ] || bad=$((bad + 1))
    printf '%-4s %-7s %-7s %-18s %s\n' "$n" "$(sum passed)" "$failed" "$(sum 'transport retries')" \
        "$(((SECONDS - started) / 60)).$(((SECONDS - started) % 60 / 6))"
    grep -E '^FAIL' "$log" | sed 's/^/     /'
done
echo "stress: ${1:-10} runs, $bad with failures, load $load"
[ $bad = 0 ]
