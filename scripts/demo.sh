#!/bin/bash
# Builds everything, then shows the agent running against the simulator in a
# wine virtual desktop. On $DISPLAY it runs until the agent is unloaded or
# Ctrl-C; without a display it runs on a private Xvfb for about 15 s.
# Screenshots go to out/demo/. ZORVANH_BUILD_DIR picks another build folder.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1

. "$root/tests/e2e/lib.sh"
bin="${ZORVANH_BUILD_DIR:-$root/build/win64}/bin"
desktop=ZorvanHAgent
shots="$root/out/demo"

if [ -n "${DISPLAY:-}" ]; then
    export E2E_USE_DISPLAY=1
    interactive=1
else
    interactive=0
fi
echo "demo: preparing a private wine prefix (about 10 s)"
if ! e2e_setup "$bin" "$shots"; then
    echo "demo: $E2E_REASON" >&2
    exit 1
fi
echo "demo: display $DISPLAY, log in $E2E_LOG"

on_desktop() {
    e2e_driver "$@" --desktop "$desktop"
}

e2e_sim_start default.scn || { echo "demo: $E2E_REASON" >&2; exit 1; }
echo "demo: simulator runs the default scenario"

# The virtual desktop brings a taskbar whose notification area holds the icon.
(cd "$bin" && exec wine explorer "/desktop=$desktop,1280x800" ZorvanHAgent.exe) >>"$E2E_LOG" 2>&1 &
shell=$!
E2E_AGENT_PIDS+=("$shell")

exit_window=""
for _ in $(seq 1 40); do
    exit_window=$(on_desktop wait-window "$E2E_EXIT_WINDOW" --timeout 500 2>/dev/null) && break
    exit_window=""
done
if [ -n "$exit_window" ]; then
    echo "demo: exit window found ($exit_window)"
else
    echo "demo: no exit window: the agent did not come up"
    on_desktop list-windows
fi

sleep 3
e2e_shot agent
echo "demo: screenshot $shots/agent.png"
echo "demo: interface list requests received: $(e2e_simctl count 1)"
echo "demo: ledger $(e2e_ledger)"

if [ "$interactive" = 1 ]; then
    echo "demo: unload the agent from its tray menu, or press Ctrl-C"
    while kill -0 "$shell" 2>/dev/null; do
        on_desktop wait-gone "$E2E_EXIT_WINDOW" --timeout 2000 >/dev/null 2>&1 && break
    done
else
    sleep 9
    e2e_shot agent-later
    echo "demo: unloading the agent"
    on_desktop send "$E2E_EXIT_WINDOW" 0x8065 --timeout 3000 >/dev/null
    on_desktop wait-gone "$E2E_EXIT_WINDOW" --timeout 10000 >/dev/null &&
        echo "demo: agent unloaded" || echo "demo: agent did not unload"
fi
echo "demo: ledger after unload $(e2e_ledger)"
# The virtual desktop outlives the agent; the exit trap (e2e_cleanup) then
# ends the simulator, the prefix and the private X server.
e2e_wait_exit "$shell" 2 || e2e_kill_own "$shell"
