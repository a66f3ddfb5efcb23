#!/bin/bash
# The agent's CPU time with eight monitor windows open against the simulator,
# as a share of one core, in a private wine prefix and Xvfb display:
#   bench/monitors_cpu.sh [bin-dir] [seconds] [monitors]
exec /usr/bin/python3 "$(dirname "$0")/wine_bench.py" monitors "$@"
