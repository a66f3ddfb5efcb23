# CPU share of one wine process in this script's prefix, from /proc; sourced
# by the wine benchmarks after e2e_setup.

# cpu_unix_pid <program name>: the wine process whose command line names the
# program (not the explorer that started it), in this prefix only.
cpu_unix_pid() {
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        grep -q "$1" "/proc/$pid/cmdline" 2>/dev/null && ! grep -q explorer "/proc/$pid/cmdline" &&
            { echo "$pid"; return 0; }
    done
    return 1
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

cpu_server_pid() {
    pgrep wineserver | while read -r p; do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done | head -1
}

# cpu_measure <pid> <seconds> <label>: sleeps that long (or records a perf
# profile into $BENCH_PERF) and prints the process's and wineserver's share.
cpu_measure() {
    local server a0 a1 s0 s1 t0 t1
    server=$(cpu_server_pid)
    a0=$(cpu_ticks "$1") s0=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    t0=$(date +%s.%N)
    if [ -n "${BENCH_PERF:-}" ]; then
        # Where the time goes: perf's report by module, then by symbol.
        perf record -q -g -o "$BENCH_PERF" -p "$1" -- sleep "$2" >/dev/null 2>&1
    else
        sleep "$2"
    fi
    a1=$(cpu_ticks "$1") s1=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    t1=$(date +%s.%N)
    awk -v label="$3" -v a=$((a1 - a0)) -v s=$((s1 - s0)) -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" 'BEGIN {
        wall = t1 - t0
        printf "%s, %.0f s: %.2f s CPU = %.3f %% of one core; wineserver %.2f s = %.3f %%\n",
            label, wall, a / hz, 100 * a / hz / wall, s / hz, 100 * s / hz / wall
    }'
}
