#!/bin/bash
# Renders the monitor diagram under wine and converts the bitmaps to PNG.
#   tests/render/run.sh [bin folder] [output folder]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/win64/bin}
out=${2:-$root/out/render}
mkdir -p "$out"
export WINEPREFIX=${RENDER_WINEPREFIX:-/tmp/diagram-render-wp} WINEDEBUG=-all
display=${RENDER_DISPLAY:-:57}

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
timeout -k 2 60 wine "$bin/DiagramRenderCheck.exe" "$(winepath -w "$out")" | tr -d '\r'
status=${PIPESTATUS[0]}
wineserver -w
for bmp in "$out"/*.bmp; do
    /usr/bin/convert "$bmp" -strip "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit "$status"
