#!/bin/bash
# Runs the whole end-to-end suite again and again and prints a table of the
# runs, to show that it passes every time and how long it takes:
#   tests/e2e/stress.sh [runs] [bin-dir]     (default 10 runs of build/win64/bin)
# E2E_STRESS_LOAD=1 keeps both cores busy with a native build from scratch,
# over and over, beside each run. Each run's log stays in out/e2e-stress/run-N.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runs=${1:-10}
bin=${2:-$root/build/win64/bin}
out=${E2E_STRESS_OUT:-$root/out/e2e-stress}
mkdir -p "$out"
load_pid=""

start_load() {
    setsid bash -c 'while :; do
        rm -rf "$1"
        cmake -S "$2" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null 2>&1
        cmake --build "$1" -j 2 >/dev/null 2>&1
    done' load "$out/load-build" "$root" &
    load_pid=$!
}

stop_load() {
    [ -n "$load_pid" ] || return 0
    kill -- -"$load_pid" 2>/dev/null
    wait "$load_pid" 2>/dev/null
    load_pid=""
    rm -rf "$out/load-build"
}
trap stop_load EXIT

total_failed=0
printf '%-4s %-7s %-7s %-18s %-8s %s\n' run passed failed "transport retries" minutes load
for n in $(seq 1 "$runs"); do
    [ "${E2E_STRESS_LOAD:-0}" = 1 ] && start_load
    started=$SECONDS
    E2E_ARTIFACTS="$out/run-$n" /usr/bin/python3 -m pytest "$here" -n 2 -p no:cacheprovider --bin "$bin" \
        >"$out/run-$n.txt" 2>&1
    minutes=$(awk -v s=$((SECONDS - started)) 'BEGIN { printf "%.1f", s / 60 }')
    stop_load
    # pytest's "== 2 failed, 63 passed in ..." and its "N transport retries".
    sum() {
        grep -E '^=+ .* in [0-9.]+s|^[0-9]+ transport retries$' "$out/run-$n.txt" |
            grep -oE "[0-9]+ $1" | awk '{ t += $1 } END { print t + 0 }'
    }
    passed=$(sum passed) failed=$(sum failed) retries=$(sum "transport retries")
    grep -qE '^=+ .* in [0-9.]+s' "$out/run-$n.txt" || failed=""
    [ -n "$failed" ] || failed=setup
    [ "$failed" = 0 ] || total_failed=$((total_failed + 1))
    printf '%-4s %-7s %-7s %-18s %-8s %s\n' "$n" "${passed:-0}" "$failed" "${retries:--}" "$minutes" \
        "$([ "${E2E_STRESS_LOAD:-0}" = 1 ] && echo build || echo none)"
    grep -E '^FAIL|^FAILED' "$out/run-$n.txt" | sed 's/^/     /'
done
echo "stress: $runs runs, $total_failed with failures"
[ $total_failed = 0 ]
