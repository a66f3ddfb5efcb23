#!/bin/bash
# What wine alone charges for the pattern of a monitor window: bench/wine_floor.cpp
# opens as many bare windows that are handed a message and painted once a
# second, on the same kind of virtual desktop as bench/monitors_cpu.sh, and
# reports its CPU share the same way:
#   bench/wine_floor.sh [bin-dir] [seconds] [windows]
exec /usr/bin/python3 "$(dirname "$0")/wine_bench.py" floor "$@"
