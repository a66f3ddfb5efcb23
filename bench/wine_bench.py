"""The wine figures, on the end-to-end harness (a private Xvfb, wine prefix,
driver and simulator; $DISPLAY instead with E2E_USE_DISPLAY=1):
  wine_bench.py monitors [bin-dir] [seconds] [monitors]   the agent's CPU share with that many monitors open
  wine_bench.py floor [bin-dir] [seconds] [windows]       the same for bare windows painted once a second
  wine_bench.py startup [bin-dir] [runs]                  start-up to the tray icon's tip
A CPU share is the process's user and system time from /proc; what wineserver
spends on its behalf, shared with the simulator, is reported beside it.
BENCH_PERF=<file> records a perf profile of the process instead of sleeping."""
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import wine  # noqa: E402
from conftest import Agents, Sim, place_monitor, until  # noqa: E402
from driver import Driver  # noqa: E402


class Session:
    """A prefix, driver, simulator and agents, as a test has them; close() ends them all."""

    def __init__(self, bin_dir, out):
        out.mkdir(parents=True, exist_ok=True)
        self.log = open(out / "run.log", "w", buffering=1)
        self.xvfb, display = (None, os.environ["DISPLAY"]) if os.environ.get("E2E_USE_DISPLAY") and \
            os.environ.get("DISPLAY") else wine.start_xvfb(self.log)
        self.prefix = wine.Prefix(bin_dir, out, display, self.log)
        self.drv = Driver([self.prefix.wine, self.prefix.bin / "AgentDriver.exe", "--serve"], self.prefix.env, self.log)
        self.sim, self.agents = Sim(self.prefix, self.drv), Agents(self.prefix, self.drv)

    def close(self):
        self.agents.end()
        self.sim.stop()
        self.drv.stop()
        self.prefix.close()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def pid(self, program):
        """The wine process of that program in this prefix (not the explorer that started it)."""
        for proc in pathlib.Path("/proc").glob("[0-9]*"):
            try:
                cmd = (proc / "cmdline").read_bytes()
                env = (proc / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if program.encode() in cmd and b"explorer" not in cmd and \
                    f"WINEPREFIX={self.prefix.env['WINEPREFIX']}".encode() in env:
                return int(proc.name)

    def cpu(self, pid, seconds, label):
        ticks = lambda p: sum(map(int, pathlib.Path(f"/proc/{p}/stat").read_text().rsplit(")", 1)[1].split()[11:13]))
        server = self.pid("wineserver")
        a0, s0, t0 = ticks(pid), ticks(server) if server else 0, time.monotonic()
        if os.environ.get("BENCH_PERF"):
            subprocess.run(["perf", "record", "-q", "-g", "-o", os.environ["BENCH_PERF"], "-p", str(pid), "--",
                            "sleep", str(seconds)], capture_output=True)
        else:
            time.sleep(seconds)
        hz, wall = os.sysconf("SC_CLK_TCK"), time.monotonic() - t0
        a, s = (ticks(pid) - a0) / hz, ((ticks(server) - s0) / hz if server else 0)
        print(f"{label}, {wall:.0f} s: {a:.2f} s CPU = {100 * a / wall:.3f} % of one core; "
              f"wineserver {s:.2f} s = {100 * s / wall:.3f} %")


def monitors(s, seconds, count):
    s.sim.start("eight-monitors.scn")
    for i in range(count):
        x, y = i % 4 * 210 + 10, i // 4 * 140 + 10
        place_monitor(s.prefix, f"{i:04}", f"{{00000000-0000-4000-8000-00000000000{i + 1}}}", (x, y, x + 200, y + 128),
                      "PopupWhenConnected")
    s.prefix.reg("add", wine.AGENT_KEY + r"\General", "/v", "ShowMonitorWindows", "/t", "REG_BINARY", "/d", "01", "/f")
    s.agents.start_on_tray()
    shown = lambda: sum(w["caption"].startswith("Adapter ") and w["visible"] == "visible" for w in s.drv.windows())
    for _ in range(5):
        if until(lambda: shown() == count, 4, 0.5):
            break
        s.sim("signal", "status")  # as the service would on its next change
    else:
        s.prefix.shot("monitors-missing")
        sys.exit(f"only {shown()} monitor windows opened")
    time.sleep(5)  # past the windows' first paint
    s.prefix.shot(f"monitors-{count}")
    s.cpu(s.pid("ZorvanHAgent.exe"), seconds, f"{count} monitors, agent")


def floor(s, seconds, count):
    compiler = {32: "i686", 64: "x86_64"}[s.prefix.arch] + "-w64-mingw32-g++-win32"
    out = s.prefix.artifacts
    subprocess.run([compiler, "-O2", "-static", "-DUNICODE", "-D_UNICODE", "-o", out / "WineFloor.exe",
                    ROOT / "bench" / "wine_floor.cpp", "-mwindows", "-lgdi32"], check=True)
    launcher = s.prefix.spawn(s.prefix.own, "explorer", "/desktop=ZorvanHFloor,1280x800", "WineFloor.exe", count,
                              seconds + 15, cwd=out)
    pid = until(lambda: s.pid("WineFloor.exe"), 10)
    if not pid:
        sys.exit("no WineFloor process found")
    time.sleep(5)
    s.cpu(pid, seconds, f"{count} bare windows")
    launcher.wait()


def startup(s, runs):
    s.sim.start("default.scn")
    times = []
    for _ in range(runs):
        t0 = time.monotonic()
        agent = s.agents.start_on_tray()  # up to its tip, polled every quarter second
        times.append(int((time.monotonic() - t0) * 1000))
        agent.unload()
    t = sorted(times)
    print(f"start-up to the tray icon, {runs} runs: median {t[(runs - 1) // 2]} ms, best {t[0]} ms, worst {t[-1]} ms")


if __name__ == "__main__":
    what, args = sys.argv[1], sys.argv[2:]
    bin_dir = pathlib.Path(args[0] if args else ROOT / "build" / "win64" / "bin").resolve()
    defaults = [5] if what == "startup" else [120, 8]
    numbers = [*map(int, args[1:]), *defaults[len(args[1:]):]]
    # Xlib reads its resource files again on every lookup while it has found
    # none, and wine looks one up for each new device context: one harmless
    # resource keeps that wine-and-Xvfb cost out of the figures.
    resources = ROOT / "out" / "bench-resources"
    resources.parent.mkdir(exist_ok=True)
    resources.write_text("ZorvanHBench.unused: 1\n")
    os.environ["XENVIRONMENT"] = str(resources)
    session = Session(bin_dir, ROOT / "out" / f"bench-{what}-win{wine.pe_arch(bin_dir / 'ZorvanHAgent.exe')}")
    try:
        {"monitors": monitors, "floor": floor, "startup": startup}[what](session, *numbers)
    finally:
        session.close()
