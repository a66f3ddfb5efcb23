#!/bin/bash
# What wine alone charges for the pattern of a monitor window: bench/wine_floor.cpp
# opens as many bare windows that are handed a message and painted once a
# second, on the same kind of virtual desktop as bench/monitors_cpu.sh, and
# reports its CPU share the same way:
#   bench/wine_floor.sh [bin-dir] [seconds] [windows]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/win64/bin}
seconds=${2:-120}
windows=${3:-8}
e2e_case() { :; }
. "$root/tests/e2e/lib.sh"
. "$root/bench/process_cpu.sh"

# The floor is built for the architecture of the agent it is compared with.
arch=$(e2e_pe_arch "$bin/ZorvanHAgent.exe") || { echo "no agent in $bin"; exit 1; }
case $arch in
    32) compiler=i686-w64-mingw32-g++-win32 ;;
    64) compiler=x86_64-w64-mingw32-g++-win32 ;;
esac
out=$root/out/bench-floor-win$arch
mkdir -p "$out"
"$compiler" -O2 -static -DUNICODE -D_UNICODE -o "$out/WineFloor.exe" "$root/bench/wine_floor.cpp" -mwindows -lgdi32 ||
    { echo "cannot build WineFloor.exe"; exit 1; }
resources=$(mktemp)
echo "ZorvanHBench.unused: 1" >"$resources"
export XENVIRONMENT=$resources
e2e_setup "$bin" "$out" || { echo "setup failed: $E2E_REASON"; exit 1; }
(cd "$out" && exec "$E2E_WINE_OWN" explorer "/desktop=ZorvanHFloor,1280x800" WineFloor.exe "$windows" $((seconds + 15))) >>"$out/run.log" 2>&1 &
launcher=$!
pid=""
for _ in $(seq 1 40); do
    pid=$(cpu_unix_pid WineFloor.exe) && break
    sleep 0.25
done
[ -n "$pid" ] || { echo "no WineFloor process found"; exit 1; }
sleep 5
cpu_measure "$pid" "$seconds" "$windows bare windows"
wait "$launcher" 2>/dev/null
rm -f "$resources"
