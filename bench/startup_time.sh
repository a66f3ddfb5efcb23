#!/bin/bash
# Time from starting the agent to its icon's tip in the notification area,
# against the simulator, under wine; the tip is polled, so a figure includes
# up to a quarter second of lag, and the first run also makes the desktop:
#   bench/startup_time.sh [bin-dir] [runs]
exec /usr/bin/python3 "$(dirname "$0")/wine_bench.py" startup "$@"
