"""Fixtures of the end-to-end cases. Each xdist worker has its own Xvfb,
wine prefix and driver (`prefix`, `drv`); each test its own simulator
(`sim`) and agents (`agents`), ended whatever the test left behind."""
import os
import pathlib
import re
import subprocess
import time

import pytest

import ids
import wine
from driver import Driver

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCENARIOS = ROOT / "standin" / "scenarios"
EXIT_WINDOW = "ZorvanHAgent Exit Window"
MAIN_WINDOW = "ZorvanHAgent Preferences - "
TITLE = "ZorvanHAgent"
RUNNING_MUTEX = "ZorvanHAgentMtStillRunning"
TRAY_DESKTOP = "ZorvanHTray"
MENU_CLASS = "#32768"
DRIVERS, RETRIES = [], [0]  # this process's drivers; transport retries of every worker


def until(check, seconds, every=0.25):
    """check()'s first true value within the time, else its last value."""
    deadline = time.monotonic() + seconds
    while True:
        value = check()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(every)


def hold(seconds, why):
    """Lets the time pass for a check that nothing happens meanwhile."""
    time.sleep(seconds)


def pytest_addoption(parser):
    default = ROOT / "build" / ("win32" if wine.runs_32bit() else "win64") / "bin"
    parser.addoption("--bin", default=str(default), help="folder of the agent, stand-in and driver")


@pytest.fixture(scope="session")
def prefix(request, worker_id):
    bin_dir = pathlib.Path(request.config.getoption("--bin")).resolve()
    arch = wine.pe_arch(bin_dir / "ZorvanHAgent.exe")
    artifacts = pathlib.Path(os.environ.get("E2E_ARTIFACTS") or ROOT / "out" / f"e2e-win{arch}")
    artifacts.mkdir(parents=True, exist_ok=True)
    log = open(artifacts / f"pytest-{worker_id}.log", "w", buffering=1)
    if os.environ.get("E2E_USE_DISPLAY") and os.environ.get("DISPLAY"):
        xvfb, display = None, os.environ["DISPLAY"]
    else:
        xvfb, display = wine.start_xvfb(log)
    try:
        p = wine.Prefix(bin_dir, artifacts, display, log)
        yield p
        p.close()
    finally:
        if xvfb:
            xvfb.kill()
            xvfb.wait()
        log.close()


@pytest.fixture(scope="session")
def drv(request, prefix):
    d = Driver([prefix.wine, prefix.bin / "AgentDriver.exe", "--serve"], prefix.env, prefix.log)
    DRIVERS.append(d)
    yield d
    d.stop()


class Sim:
    """The simulator of one test; started on demand, stopped at its end."""

    def __init__(self, prefix, drv):
        self.prefix, self.drv, self.proc = prefix, drv, None

    def start(self, scenario, *commands):
        path = SCENARIOS / scenario
        assert path.is_file(), f"no scenario {path}"
        self.proc = self.prefix.spawn(self.prefix.wine, self.prefix.bin / "ZorvanHSim.exe", wine.winpath(path))
        self.drv.note(f"simulator pid {self.proc.pid} with {scenario}")
        assert until(lambda: self.drv.ok("sim", "ping") or self.proc.poll() is not None, 10) and \
            self.proc.poll() is None, f"simulator with {scenario} does not answer ping"
        # Timed changes would land wherever a case happens to be: cases script every change.
        for command in ("drop-timed", *commands):
            self(*command.split())

    def __call__(self, *words):
        return self.drv.sim(*words)

    def count(self, code):
        return int(self("count", code))

    def wait_count(self, code, minimum, seconds=5):
        self.drv.sim_count(code, minimum, seconds)

    def ledger(self):
        return dict(w.split("=", 1) for w in self("ledger").split() if "=" in w)

    def ledger_clean(self, min_issued=0):
        """Every reply handed back exactly once. A running agent's windows keep
        asking, so one reply may be out at a look; a leaked one stays out."""
        ledger = until(lambda: (lambda l: l if l.get("outstanding") == "0" else None)(self.ledger()), 5) \
            or self.ledger()
        self.drv.note(f"ledger: {ledger}")
        assert all(ledger.get(f) == "0" for f in ("outstanding", "double", "unknown")), f"ledger not clean: {ledger}"
        assert int(ledger["issued"]) >= min_issued, f"ledger issued below {min_issued}: {ledger}"

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.drv.ok("sim", "quit", timeout=2000)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None


class Agent:
    def __init__(self, agents, pid, proc=None):
        self.agents, self.pid, self.proc = agents, pid, proc

    def running(self):
        if self.proc:
            return self.proc.poll() is None
        return pathlib.Path(f"/proc/{self.pid}").exists()

    def expect_exit(self, code=0, seconds=10):
        if not until(lambda: not self.running(), seconds, 0.1):
            raise AssertionError(f"agent {self.pid} still running after {seconds} s")
        if self.proc:
            assert self.proc.returncode == code, f"agent {self.pid} ended with code {self.proc.returncode}, not {code}"

    def unload(self):
        """WM_AGENT_REFRESH to the exit window ends the agent cleanly."""
        drv = self.agents.drv
        drv.send(EXIT_WINDOW, ids.WM_AGENT_REFRESH, timeout=8000)
        self.expect_exit(0)
        drv.wait_gone(EXIT_WINDOW, timeout=2000)
        assert not drv.ok("mutex-exists", RUNNING_MUTEX), f"mutex {RUNNING_MUTEX} still exists after unload"

    def expect_responsive(self):
        assert self.running(), f"agent {self.pid} ended by itself"
        self.agents.drv.send(EXIT_WINDOW, 0)


class Agents:
    """Agents a test starts; whatever is still running at its end is unloaded."""

    def __init__(self, prefix, drv):
        self.prefix, self.drv, self.started = prefix, drv, []

    def start(self, folder=None, window=True):
        """The agent with its folder as current directory (so a missing library
        is not found there either); waits for its exit window unless told not to."""
        proc = self.prefix.spawn(self.prefix.wine, "./ZorvanHAgent.exe", cwd=folder or self.prefix.bin)
        agent = Agent(self, proc.pid, proc)
        self.started.append(agent)
        self.drv.note(f"agent pid {proc.pid} from {folder or self.prefix.bin}")
        if window:
            self.drv.wait_window(EXIT_WINDOW)
        return agent

    def answer_msgbox(self, text, icon, shot):
        """The agent's message box says the text with that icon (judged from
        pixels: only a confident answer counts); OK is pressed after a screenshot."""
        box = self.drv.msgbox(TITLE)
        assert box.get("text") == text, f'message box says "{box.get("text")}", not "{text}"'
        assert box.get("icon") in (icon, "unknown"), f"message box shows the {box.get('icon')} icon, not {icon}"
        self.prefix.shot(shot)
        self.drv.press(TITLE, ids.IDOK, msgbox=True)

    def start_on_tray(self):
        """The agent on a virtual desktop whose taskbar holds its icon; every
        driver call of the test then goes to that desktop."""
        known = {a.pid for a in self.started}
        self.prefix.spawn(self.prefix.own, "explorer", f"/desktop={TRAY_DESKTOP},1280x800", "ZorvanHAgent.exe",
                          cwd=self.prefix.bin)
        self.drv.desktop = None
        self.drv("hold-desktop", TRAY_DESKTOP, timeout=20000, what=f"no virtual desktop {TRAY_DESKTOP}")
        self.drv.desktop = TRAY_DESKTOP
        self.drv.wait_window(EXIT_WINDOW, timeout=15000)
        pid = until(lambda: self._launched_pid(known), 5)
        assert pid, "no agent process on the virtual desktop"
        agent = Agent(self, pid)
        self.started.append(agent)
        self.expect_tip(f"{TITLE} is enabled")  # the icon comes once the main dialog's loop runs
        return agent

    def _launched_pid(self, known):
        """The newest agent process of this prefix that a launcher started."""
        found = []
        for proc in pathlib.Path("/proc").glob("[0-9]*"):
            try:
                cmd = (proc / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace").strip()
                env = (proc / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if re.search(r"(^|[\\/])ZorvanHAgent\.exe$", cmd) and \
                    f"WINEPREFIX={self.prefix.env['WINEPREFIX']}".encode() in env and int(proc.name) not in known:
                found.append(int(proc.name))
        return max(found, default=None)

    def tips(self):
        return self.drv("tooltips").splitlines()

    def expect_tip(self, text, shown=True):
        assert until(lambda: (text in self.tips()) == shown, 10), \
            f'tray tip "{text}" {"missing" if shown else "still shown"} (tips: {self.tips()})'

    def open_menu(self):
        """Opens the tray menu as a right click on the icon does; its hwnd."""
        self.drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_RBUTTONUP)
        menu = until(lambda: next((w["hwnd"] for w in self.drv.windows()
                                   if w["cls"] == MENU_CLASS and w["visible"] == "visible"), None), 6, 0.2)
        assert menu, "the tray menu did not open"
        return menu

    def keys(self, menu, *keys):
        """One key at a time, as a user types them; False once the menu went."""
        for key in keys:
            if not self.drv.ok("key", f"hwnd:{menu}", key):
                return False
            time.sleep(0.05)  # a typing hand's pace
        return True

    def choose(self, *keys):
        """Opens the menu and types the keys. Under wine a menu is now and then
        dismissed a moment after it opens, before the keys: that attempt is made again."""
        for attempt in (1, 2, 3):
            if self.keys(self.open_menu(), *keys):
                return
            self.drv.note(f"menu dismissed before the choice, attempt {attempt}")
        raise AssertionError(f"the tray menu did not take the keys {keys}")

    def end(self):
        for agent in self.started:
            if agent.running():
                for desktop in {None, self.drv.desktop}:
                    self.drv.ok("post", EXIT_WINDOW, ids.WM_AGENT_REFRESH, timeout=500, desktop=desktop)
                if not until(lambda: not agent.running(), 6, 0.1):
                    os.kill(agent.pid, 9)
            if agent.proc:
                agent.proc.wait()
        self.drv.desktop = None


@pytest.fixture
def sim(prefix, drv):
    s = Sim(prefix, drv)
    yield s
    s.stop()


@pytest.fixture
def agents(prefix, drv, sim):
    a = Agents(prefix, drv)
    yield a
    a.end()


@pytest.fixture(autouse=True)
def _each_case(request, prefix, drv):
    drv.note(f"=== {request.node.name}")
    prefix.reg("delete", wine.AGENT_KEY, "/f")
    prefix.xdotool("mousemove", 640, 400)  # menus open where the pointer is
    yield
    drv.note(f"=== {request.node.name} done")


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    if report.failed and "prefix" in item.funcargs:
        prefix = item.funcargs["prefix"]
        shot = prefix.shot(f"FAIL-{re.sub(r'[^A-Za-z0-9_.-]', '-', item.name)}")
        prefix.log.write(f"FAIL {item.name} ({report.when}): {call.excinfo.exconly() if call.excinfo else ''}\n")
        report.sections.append(("artifacts", f"screenshot {shot}\nlog {prefix.log.name}"))


def pytest_sessionfinish(session):
    RETRIES[0] += sum(d.retries for d in DRIVERS)
    if hasattr(session.config, "workeroutput"):
        session.config.workeroutput["retries"] = RETRIES[0]


def pytest_testnodedown(node, error):
    RETRIES[0] += node.workeroutput.get("retries", 0)


def pytest_terminal_summary(terminalreporter):
    terminalreporter.write_line(f"{RETRIES[0]} transport retries")
