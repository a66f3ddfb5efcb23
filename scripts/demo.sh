#!/bin/bash
# Builds the agent, then shows it at work against the simulator in a wine
# virtual desktop: the monitor windows of the two connected adapters and the
# statistics window, opened by the agent's own start-up options, over live
# simulated traffic.
#
# On $DISPLAY it runs until the agent is unloaded or Ctrl-C. Without a
# display it runs on a private Xvfb for about a minute and leaves in
# out/demo/: agent.png (the desktop once the diagrams hold half a minute of
# history), monitors.png (the two monitors) and monitors-scrolling.gif (the
# two monitors scrolling).
#
# DEMO_ARCH=64 runs the 64-bit agent (build/win64); the default is the
# 32-bit one (build/win32), which a user installs beside the 32-bit service
# library. ZORVANH_BUILD_DIR picks another build folder of that bitness.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${DEMO_ARCH:-32}
case $arch in
    32 | 64) ;;
    *) echo "demo: DEMO_ARCH is 32 or 64" >&2; exit 1 ;;
esac
"$root/scripts/setup.sh" || exit 1
if [ "$arch" = 32 ] && [ -z "${DEMO_ARCH:-}" ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "demo: this machine runs no 32-bit programs (its kernel has 32-bit emulation off); showing the 64-bit agent"
    arch=64
fi

. "$root/tests/e2e/lib.sh"
bin="${ZORVANH_BUILD_DIR:-$root/build/win$arch}/bin"
desktop=ZorvanHAgent
shots="$root/out/demo"
history_seconds=30
gif_frames=12

# Where the monitors stand: side by side above the statistics window, which
# the agent centres on the screen.
lan_name="Gigabit Ethernet Adapter (PCI)"
lan_id="{4D36E972-E325-11CE-BFC1-08002BE10318}"
wlan_name="Wireless LAN Adapter 802.11g"
wlan_id="{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}"
monitor_top=12
monitor_bottom=152
lan_left=380
lan_right=630
wlan_left=650
wlan_right=900

if [ -n "${DISPLAY:-}" ]; then
    export E2E_USE_DISPLAY=1
    interactive=1
else
    interactive=0
fi
started=$(date +%s)
echo "demo: preparing a private wine prefix for the ${arch}-bit agent (about 10 s)"
if ! e2e_setup "$bin" "$shots"; then
    echo "demo: $E2E_REASON" >&2
    exit 1
fi
echo "demo: display $DISPLAY, log in $E2E_LOG"

on_desktop() {
    e2e_driver "$@" --desktop "$desktop"
}

# A .reg line's hex bytes of a little-endian 32-bit number.
le32() {
    printf '%02x,%02x,%02x,%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}

# One monitor's key: every flag at its default except "PopupWhenConnected",
# which lets the start-up option open the window, and the vertical grid
# lines, which show the diagram moving where no traffic was yet; a flag
# left out would read as off.
monitor_key() {
    local key=$1 id=$2 left=$3 top=$4 right=$5 bottom=$6 flag
    printf '[%s\\Monitors\\%s]\r\n"Name"="%s"\r\n' "$agent_key" "$key" "$id"
    for flag in HideWindowTitle=0 ShowWindowOnTop=1 ShowMaxSpeedText=1 ShowCurPeakText=1 ShowMaxPeakText=1 \
        EnableHorizontalLines=1 EnableVerticalLines=1 EnableTimeArrow=1 EnableConnectionTimeText=0 \
        DontConsiderHardwareHeaders=1 EnableBoldTextsOnWindow=0 MakeWindowTrasparentForMouse=0 \
        MakeSendReceiveScaleEqual=0 PopupWhenConnected=1 HideWhenDisconnected=0 EnableBytesPerSecond=1; do
        printf '"%s"=hex:0%s\r\n' "${flag%=*}" "${flag#*=}"
    done
    printf '"SizePositionWindow"=hex:%s,%s,%s,%s,%s\r\n\r\n' "$(le32 0)" "$(le32 "$left")" "$(le32 "$top")" \
        "$(le32 "$right")" "$(le32 "$bottom")"
}

# The start-up options open the statistics window and every monitor whose
# adapter is connected, as a user who ticked them on the General page sees.
agent_key='HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent'
settings="$E2E_TMP/demo.reg"
{
    printf 'REGEDIT4\r\n\r\n[%s\\General]\r\n' "$agent_key"
    printf '"ShowMonitorWindows"=hex:01\r\n"ShowStatisticsWindow"=hex:01\r\n"SetDisableStateZorvanHAgent"=hex:00\r\n\r\n'
    monitor_key 0000 "$lan_id" $lan_left $monitor_top $lan_right $monitor_bottom
    monitor_key 0001 "$wlan_id" $wlan_left $monitor_top $wlan_right $monitor_bottom
} >"$settings"
# The agent reads the registry view of its own bitness.
e2e_wine reg import "$(e2e_winpath "$settings")" "/reg:$arch" >>"$E2E_LOG" ||
    { echo "demo: the start-up options could not be written" >&2; exit 1; }

e2e_sim_start demo.scn || { echo "demo: $E2E_REASON" >&2; exit 1; }
echo "demo: simulator runs the demo scenario: two connected adapters with traffic"

# The virtual desktop brings a taskbar whose notification area holds the icon.
(cd "$bin" && exec "$E2E_WINE_OWN" explorer "/desktop=$desktop,1280x800" ZorvanHAgent.exe) >>"$E2E_LOG" 2>&1 &
shell=$!
E2E_AGENT_PIDS+=("$shell")
E2E_DESKTOP=$desktop

# wait_for <milliseconds> <caption>...: every window is there in time.
wait_for() {
    local limit=$1 caption
    shift
    for caption in "$@"; do
        on_desktop wait-window "$caption" --timeout "$limit" >/dev/null || return 1
    done
}

if ! wait_for 20000 "$E2E_EXIT_WINDOW" "ZorvanHAgent Interface Statistics"; then
    echo "demo: the agent did not come up" >&2
    on_desktop list-windows >&2
    exit 1
fi
# The agent's first look at the interfaces can come just before the link
# to the statistics mapping publishes its view, and the wake-up it then
# sends finds no listener: the monitors open only at the next network
# status change, which the simulator then signals as the service would.
if ! wait_for 10000 "$lan_name" "$wlan_name"; then
    echo "demo: monitors not open yet; signalling a network status change"
    e2e_simctl signal status >>"$E2E_LOG"
    if ! wait_for 15000 "$lan_name" "$wlan_name"; then
        echo "demo: the monitor windows did not open" >&2
        on_desktop list-windows >&2
        exit 1
    fi
fi
echo "demo: both monitors and the statistics window are open"

# The point of the pictures is the diagrams, so they first fill with history.
echo "demo: letting the diagrams collect ${history_seconds} s of traffic"
sleep "$history_seconds"
e2e_shot agent
echo "demo: screenshot $shots/agent.png"

# The picture and the animation show the two monitors and the gap between them.
# Where the windows really are; where they were put, should the driver
# not say.
read -r l1 t1 r1 b1 <<<"$(on_desktop window-rect "$lan_name" | tr -d '\r')"
[ -n "${b1:-}" ] || { l1=$lan_left t1=$monitor_top r1=$lan_right b1=$monitor_bottom; }
read -r l2 t2 r2 b2 <<<"$(on_desktop window-rect "$wlan_name" | tr -d '\r')"
[ -n "${b2:-}" ] || { l2=$wlan_left t2=$monitor_top r2=$wlan_right b2=$monitor_bottom; }
left=$((l1 < l2 ? l1 : l2))
top=$((t1 < t2 ? t1 : t2))
right=$((r1 > r2 ? r1 : r2))
bottom=$((b1 > b2 ? b1 : b2))
crop="$((right - left + 8))x$((bottom - top + 8))+$((left - 4))+$((top - 4))"
/usr/bin/convert "$shots/agent.png" -crop "$crop" +repage "$shots/monitors.png"
echo "demo: screenshot $shots/monitors.png"

if [ "$interactive" = 1 ]; then
    echo "demo: unload the agent from its tray menu, or press Ctrl-C"
    while kill -0 "$shell" 2>/dev/null; do
        on_desktop wait-gone "$E2E_EXIT_WINDOW" --timeout 2000 >/dev/null 2>&1 && break
    done
else
    # One frame a second, as the diagrams move one column a second.
    frames="$E2E_TMP/frames"
    mkdir -p "$frames"
    for n in $(seq -w 1 "$gif_frames"); do
        next=$(($(date +%s%N) / 1000000 + 1000))
        timeout -k 2 20 /usr/bin/import -display "$DISPLAY" -window root -crop "$crop" +repage \
            "$frames/$n.png" >>"$E2E_LOG" 2>&1
        wait_ms=$((next - $(date +%s%N) / 1000000))
        [ "$wait_ms" -gt 0 ] && e2e_sleep_ms "$wait_ms"
    done
    /usr/bin/convert -delay 100 -loop 0 "$frames"/*.png -layers Optimize "$shots/monitors-scrolling.gif"
    echo "demo: animation $shots/monitors-scrolling.gif ($(stat -c %s "$shots/monitors-scrolling.gif") bytes)"
    echo "demo: unloading the agent"
    on_desktop send "$E2E_EXIT_WINDOW" 0x8065 --timeout 3000 >/dev/null
    on_desktop wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null &&
        echo "demo: agent unloaded" || echo "demo: agent did not unload"
fi
echo "demo: ledger after unload $(e2e_ledger)"
# The virtual desktop outlives the agent; the exit trap (e2e_cleanup) then
# ends the simulator, the prefix and the private X server.
e2e_wait_exit "$shell" 2 || e2e_kill_own "$shell"
echo "demo: done in $(($(date +%s) - started)) s"
