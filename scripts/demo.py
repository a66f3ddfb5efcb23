"""The agent at work against the simulator (run by scripts/demo.sh): its
start-up options open the statistics window and the monitors of the two
connected adapters over live simulated traffic.
  demo.py <bin-dir>
On $DISPLAY it runs until the agent is unloaded or Ctrl-C; without one, on a
private Xvfb for about a minute, leaving in out/demo/ agent.png,
monitors.png and monitors-scrolling.gif."""
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "bench"))
from wine_bench import Session  # noqa: E402
from conftest import EXIT_WINDOW, LAN, LAN_ID, STATS_WINDOW, WLAN, WLAN_ID, place_monitor  # noqa: E402
from wine import AGENT_KEY  # noqa: E402

interactive = bool(os.environ.get("DISPLAY"))
os.environ["E2E_USE_DISPLAY"] = "1" if interactive else ""
shots = ROOT / "out" / "demo"
started = time.monotonic()
print("demo: preparing a private wine prefix (about 10 s)")
s = Session(pathlib.Path(sys.argv[1]), shots)
drv = s.drv
try:
    print(f"demo: display {s.prefix.env['DISPLAY']}, log in {s.log.name}")
    # Side by side above the statistics window, which the agent centres; the
    # vertical grid shows the diagram moving where no traffic was yet.
    for key, id, left in (("0000", LAN_ID, 380), ("0001", WLAN_ID, 650)):
        place_monitor(s.prefix, key, id, (left, 12, left + 250, 152), "PopupWhenConnected", "EnableVerticalLines")
    for name in ("ShowMonitorWindows", "ShowStatisticsWindow"):
        s.prefix.reg("add", AGENT_KEY + r"\General", "/v", name, "/t", "REG_BINARY", "/d", "01", "/f", check=True)
    s.sim.start("demo.scn")
    print("demo: simulator runs the demo scenario: two connected adapters with traffic")
    s.agents.start_on_tray()
    drv.wait_window(STATS_WINDOW, 20000)
    # The agent's first look at the interfaces can come just before the
    # statistics mapping is published, and its wake-up then finds no listener:
    # the monitors open at the next status change, signalled as the service would.
    if not all(drv.ok("wait-window", t, timeout=10000) for t in (LAN, WLAN)):
        print("demo: monitors not open yet; signalling a network status change")
        s.sim("signal", "status")
        drv.wait_window(LAN, 15000)
        drv.wait_window(WLAN, 15000)
    print("demo: both monitors and the statistics window are open; letting the diagrams collect 30 s of traffic")
    time.sleep(30)
    s.prefix.shot("agent")
    rects = [list(map(int, drv("window-rect", t).split())) for t in (LAN, WLAN)]
    l, t = min(r[0] for r in rects) - 4, min(r[1] for r in rects) - 4
    crop = f"{max(r[2] for r in rects) + 4 - l}x{max(r[3] for r in rects) + 4 - t}+{l}+{t}"
    subprocess.run(["/usr/bin/convert", shots / "agent.png", "-crop", crop, "+repage", shots / "monitors.png"],
                   check=True)
    print(f"demo: screenshots {shots}/agent.png and monitors.png")
    if interactive:
        print("demo: unload the agent from its tray menu, or press Ctrl-C")
        while not drv.ok("wait-gone", EXIT_WINDOW, timeout=2000):
            pass
    else:
        frames = s.prefix.tmp / "frames"
        frames.mkdir()
        for n in range(12):  # one frame a second, as the diagrams move a column a second
            next_at = time.monotonic() + 1
            subprocess.run(["/usr/bin/import", "-display", s.prefix.env["DISPLAY"], "-window", "root", "-crop", crop,
                            "+repage", frames / f"{n:02}.png"], stderr=s.log, timeout=20)
            time.sleep(max(0, next_at - time.monotonic()))
        gif = shots / "monitors-scrolling.gif"
        subprocess.run(["/usr/bin/convert", "-delay", "100", "-loop", "0", *sorted(frames.glob("*.png")), "-layers",
                        "Optimize", gif], check=True)
        print(f"demo: animation {gif} ({gif.stat().st_size} bytes); unloading the agent")
        s.agents.started[0].unload()
    print(f"demo: ledger after unload {s.sim('ledger')}")
except KeyboardInterrupt:
    pass
finally:
    s.close()
print(f"demo: done in {time.monotonic() - started:.0f} s")
