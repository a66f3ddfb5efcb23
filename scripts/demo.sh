#!/bin/bash
# Builds the agent, then shows it at work against the simulator in a wine
# virtual desktop: the monitor windows of the two connected adapters and the
# statistics window, opened by the agent's own start-up options, over live
# simulated traffic (scripts/demo.py).
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

bin="${ZORVANH_BUILD_DIR:-$root/build/win$arch}/bin"
exec /usr/bin/python3 "$root/scripts/demo.py" "$bin"
