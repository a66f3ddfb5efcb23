#!/bin/bash
# The wine figures of both agents and of wine's own floor, in one run so
# that they compare: eight monitors' CPU share, the floor for the same
# pattern, and the start-up time, first of the 32-bit agent (the one users
# install), then of the 64-bit one:
#   bench/arch_figures.sh [seconds] [start-up runs]     (default 120 and 5)
# Figures from different runs or machines do not compare.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
runs=${2:-5}
for arch in 32 64; do
    bin=$root/build/win$arch/bin
    echo "== ${arch}-bit"
    bash "$root/bench/monitors_cpu.sh" "$bin" "$seconds" 8 | grep -v '^setup'
    bash "$root/bench/wine_floor.sh" "$bin" "$seconds" 8 | grep -v '^setup'
    bash "$root/bench/startup_time.sh" "$bin" "$runs" | grep -v '^setup'
done
