# Each xdist worker has its own Xvfb, wine prefix and driver (`prefix`, `drv`);
# each test its own simulator (`sim`) and agents (`agents`), ended whatever the test left behind.
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
TITLE = "ZorvanHAgent"
EXIT_WINDOW, MAIN_WINDOW, STATS_WINDOW = (TITLE + t for t in (" Exit Window", " Preferences - ", " Interface Statistics"))
RUNNING_MUTEX, TRAY_DESKTOP, MENU_CLASS = TITLE + "MtStillRunning", "ZorvanHTray", "#32768"
# What the windows say when the service fails.
STOPPED, ERROR, VERSION = "ZorvanHService is not started!", "ZorvanHService return error!", "Bad version of ZorvanHService!"
DRIVERS, RETRIES = [], [0]  # this process's drivers; transport retries of every worker


def until(check, seconds, every=0.25):
    # check()'s first true value within the time, else its last value
    deadline = time.monotonic() + seconds
    while not (value := check()) and time.monotonic() < deadline:
        time.sleep(every)
    return value


def ended(proc):  # given 5 s to end, then killed
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def hold(seconds, why):  # only for a check that nothing happens meanwhile
    time.sleep(seconds)


def menus(drv):
    return [w["hwnd"] for w in drv.windows() if w["cls"] == MENU_CLASS and w["visible"] == "visible"]


def rect(drv, window):
    return tuple(map(int, drv("window-rect", window).split()))


def open_statistics(agents):
    # As a double click on the tray icon does. The window is there before the agent knows it as its
    # statistics window: once shown, it does; open once its interface box shows what the service said.
    drv = agents.drv
    drv.wait_window(MAIN_WINDOW)
    drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_LBUTTONDBLCLK)
    drv("wait-shown", STATS_WINDOW, timeout=8000)
    assert until(lambda: drv.text(STATS_WINDOW, ids.IDC_STATS_INTERFACE_COMBO), 8), "the statistics show no interface"


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
            xvfb.terminate()  # a killed server would leave its lock behind
            ended(xvfb)
        log.close()


@pytest.fixture(scope="session")
def drv(request, prefix):
    d = Driver([prefix.wine, prefix.bin / "AgentDriver.exe", "--serve"], prefix.env, prefix.log)
    DRIVERS.append(d)
    yield d
    d.stop()


class Sim:  # the simulator of one test, started on demand
    def __init__(self, prefix, drv):
        self.prefix, self.drv, self.proc = prefix, drv, None

    def start(self, scenario, *commands):
        path = SCENARIOS / scenario
        assert path.is_file(), f"no scenario {path}"
        self.proc = self.prefix.spawn(self.prefix.wine, self.prefix.bin / "ZorvanHSim.exe", wine.winpath(path))
        self.drv.note(f"simulator pid {self.proc.pid} with {scenario}")
        assert until(lambda: self.drv.ok("sim", "ping") or self.proc.poll() is not None, 10) and \
            self.proc.poll() is None, f"simulator with {scenario} does not answer ping (exit code {self.proc.poll()})"
        # Timed changes would land wherever a case happens to be: cases script every change.
        for command in ("drop-timed", *commands):
            self(*command.split())

    def __call__(self, *words):
        return self.drv.sim(*words)

    def count(self, code):
        return int(self("count", code))

    def wait_count(self, code, minimum, seconds=5):
        self.drv.sim_count(code, minimum, seconds)

    def ledger_clean(self, min_issued=0):
        # Every reply handed back exactly once. A running agent's windows keep
        # asking, so one reply may be out at a look; a leaked one stays out.
        read = lambda: dict(w.split("=", 1) for w in self("ledger").split() if "=" in w)
        ledger = until(lambda: (l := read()).get("outstanding") == "0" and l, 5) or read()
        self.drv.note(f"ledger: {ledger}")
        assert [ledger.get(f) for f in ("outstanding", "double", "unknown")] == ["0"] * 3 and \
            int(ledger["issued"]) >= min_issued, f"ledger not clean or fewer than {min_issued} issued: {ledger}"

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.drv.ok("sim", "quit", timeout=2000)
            ended(self.proc)
        self.proc = None


class Agent:
    def __init__(self, agents, pid, proc=None):
        self.agents, self.pid, self.proc = agents, pid, proc

    def running(self):
        if self.proc:
            return self.proc.poll() is None
        # A launcher's agent is left to init, which reaps it a second or two after its end.
        try:
            return pathlib.Path(f"/proc/{self.pid}/stat").read_text().rsplit(")", 1)[1].split()[0] != "Z"
        except (OSError, IndexError):
            return False

    def expect_exit(self, code=0, seconds=10):
        assert until(lambda: not self.running(), seconds, 0.1), f"agent {self.pid} still running after {seconds} s"
        assert not self.proc or self.proc.returncode == code, f"agent {self.pid} ended with {self.proc.returncode}"

    def unload(self):
        drv = self.agents.drv
        drv.send(EXIT_WINDOW, ids.WM_AGENT_REFRESH, timeout=8000)
        self.expect_exit(0)
        drv.wait_gone(EXIT_WINDOW, timeout=2000)
        assert not drv.ok("mutex-exists", RUNNING_MUTEX), "the agent's mutex outlived its unload"

    def expect_responsive(self):
        assert self.running(), f"agent {self.pid} ended by itself"
        self.agents.drv.send(EXIT_WINDOW, 0)


class Agents:  # the agents a test starts; whatever still runs at its end is unloaded
    def __init__(self, prefix, drv):
        self.prefix, self.drv, self.started = prefix, drv, []

    def start(self, folder=None, window=True):
        # Its folder is the current one, so a missing library is not found there either.
        folder = folder or self.prefix.bin
        proc = self.prefix.spawn(self.prefix.wine, "./ZorvanHAgent.exe", cwd=folder)
        self.started.append(Agent(self, proc.pid, proc))
        self.drv.note(f"agent pid {proc.pid} from {folder}")
        if window:
            self.drv.wait_window(EXIT_WINDOW)
        return self.started[-1]

    def answer_msgbox(self, text, icon, shot):
        # The icon is judged from pixels: only a confident answer counts.
        box = self.drv.msgbox(TITLE)
        assert box["text"] == text, f'message box says "{box["text"]}"'
        assert box.get("icon") in (icon, "unknown"), f"message box shows the {box.get('icon')} icon"
        self.prefix.shot(shot)
        self.drv.press(TITLE, ids.IDOK, msgbox=True)

    def start_on_tray(self):
        # On a virtual desktop whose taskbar holds its icon; every driver call of the test then goes there.
        # Its explorer stays while the driver holds the desktop; the driver starts the agent there
        # as a shell would, and says why when it could not.
        known = {a.pid for a in self.started}
        if not self.prefix.tray or self.prefix.tray.poll() is not None:
            self.prefix.tray = self.prefix.spawn(self.prefix.own, "explorer", f"/desktop={TRAY_DESKTOP},1280x800")
        self.drv.desktop = None
        self.drv("hold-desktop", TRAY_DESKTOP, timeout=20000, what=f"no virtual desktop {TRAY_DESKTOP}")
        self.drv.desktop = TRAY_DESKTOP
        pid = int(self.drv("launch", wine.winpath(self.prefix.bin / "ZorvanHAgent.exe")))
        linux = until(lambda: self._launched_pid(known), 5)
        assert linux, "the agent's process is not found"
        self.started.append(Agent(self, linux))
        if not self.drv.ok("wait-window", EXIT_WINDOW, timeout=15000):
            raise AssertionError(f"no exit window on {TRAY_DESKTOP} from agent {pid}; "
                                 f"processes {self.prefix.processes()}")
        self.expect_tip(f"{TITLE} is enabled")  # the icon comes once the main dialog's loop runs
        return self.started[-1]

    def _launched_pid(self, known):  # the newest agent process of this prefix not yet known
        return max((pid for pid, (cmd, _) in self.prefix.processes().items()
                    if re.search(r"(^|[\\/])ZorvanHAgent\.exe$", cmd) and pid not in known), default=None)

    def expect_tip(self, text, shown=True):
        tips = lambda: self.drv("tooltips").splitlines()
        assert until(lambda: (text in tips()) == shown, 10), f'tray tip "{text}" {"missing" if shown else "shown"}'

    def open_menu(self):  # as a right click on the icon; its hwnd
        self.drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_RBUTTONUP)
        menu = until(lambda: menus(self.drv), 6, 0.2)
        assert menu, "the tray menu did not open"
        return menu[0]

    def keys(self, menu, *keys):  # False once the menu went
        for key in keys:
            if not self.drv.ok("key", f"hwnd:{menu}", key):
                return False
            time.sleep(0.05)  # a typing hand's pace
        return True

    def choose(self, *keys):
        # Under wine a menu is now and then dismissed a moment after it opens, before the keys: it is opened again.
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


LAN, LAN_ID = "Gigabit Ethernet Adapter (PCI)", "{4D36E972-E325-11CE-BFC1-08002BE10318}"
WLAN, WLAN_ID = "Wireless LAN Adapter 802.11g", "{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}"
# The two monitorable adapters, both connected and busy: a scenario's text.
TWO_MONITORS = "first-word 0x00010002\n" + "".join(
    f'add-interface {k} name="{n}" id={i} flags=supported,connected,bound,binding-active {r} connections=1\n'
    for k, n, i, r in (("lan", LAN, LAN_ID, "rx-rate=5000000 tx-rate=2000000"),
                       ("wlan", WLAN, WLAN_ID, "rx-rate=900000 tx-rate=150000")))
# A monitor's flags as it starts with them: a stored key must carry them all, as a missing flag reads as off.
MONITOR_FLAGS = dict(HideWindowTitle=0, ShowWindowOnTop=1, ShowMaxSpeedText=1, ShowCurPeakText=1, ShowMaxPeakText=1,
                     EnableHorizontalLines=1, EnableVerticalLines=0, EnableTimeArrow=1, EnableConnectionTimeText=0,
                     DontConsiderHardwareHeaders=1, EnableBoldTextsOnWindow=0, MakeWindowTrasparentForMouse=0,
                     MakeSendReceiveScaleEqual=0, PopupWhenConnected=0, HideWhenDisconnected=0, EnableBytesPerSecond=1)


def scenario(prefix, text):  # a scenario file of that text, for sim.start
    path = prefix.tmp / f"scenario-{time.monotonic_ns()}.scn"
    path.write_text(text)
    return str(path)


def open_monitor(agents, position, title):
    # The interface at that position of the "&Monitors" submenu. The window is
    # made hidden and shown once placed, so this waits for it shown.
    agents.choose(*[ids.VK_DOWN] * 3, ids.VK_RIGHT, *[ids.VK_DOWN] * position, ids.VK_RETURN)
    agents.drv("wait-shown", title, timeout=8000, what=f'no monitor window "{title}" on show')


def place_monitor(prefix, subkey, interface_id, rect, *flags):
    # A stored monitor at rect (left, top, right, bottom) with the named flags on.
    size = b"\1\0\0\0" + b"".join(v.to_bytes(4, "little", signed=True) for v in rect)
    prefix.reg_import(f"[HKEY_LOCAL_MACHINE\\{wine.AGENT_KEY[5:]}\\Monitors\\{subkey}]\n"
                      f'"Name"="{interface_id}"\n"SizePositionWindow"=hex:{size.hex(",")}\n' +
                      "".join(f'"{n}"=hex:0{int(v or n in flags)}\n' for n, v in MONITOR_FLAGS.items()))


def window_states(drv, caption):
    return [w["visible"] for w in drv.windows() if w["caption"] == caption]


def await_monitor(sim, drv, title, state):
    # The refresh misses a status pulse that comes while it sleeps or refreshes, so
    # the status is signalled again now and then, as the service would on its next change.
    for _ in range(4):
        if until(lambda: window_states(drv, title) == [state], 2):
            return
        sim("signal", "status")
    raise AssertionError(f'monitor "{title}" is {window_states(drv, title) or "gone"}, not {state}')


def child(drv, window, id):
    return drv.control(window, id)


def items(drv, window, list_id):
    # [index, image, state, text] per line; none while the list is filled, as a read then fails.
    code, out = drv.run("list-items", window, list_id)
    return [r.split("\t") for r in out.splitlines() if r and not code]


def enabled(drv, window, id):
    return not int(drv("style", window, id), 16) & ids.WS_DISABLED


def agent_pid(drv):  # the agent's process id as Windows knows it
    return next(w["pid"] for w in drv.windows() if w["caption"] == EXIT_WINDOW)


def gui_resources(drv, most_bytes):
    # Whether the agent's gdi, user, handles, private bytes and windows grew past their bounds since this call.
    # Wine answers 0 GDI and USER objects; a lost monitor shows in the handles (two threads and an
    # event a round) and private bytes (80 KB of history a round).
    pid = agent_pid(drv)
    measure = lambda: [*map(int, re.findall(r"=(\d+)", drv("gui-resources", pid))),
                       sum(w["pid"] == pid for w in drv.windows())]
    first = measure()

    def grown():
        # A window's thread that is still ending holds about a megabyte: the measures get a few seconds to settle.
        seen = []
        within = lambda m: seen.append(m) or all(b <= a + n for a, b, n in zip(first, m, (4, 4, 10, most_bytes, 0)))
        return not until(lambda: within(measure()), 5), f"{first} -> {seen[-1]}"
    return grown


def children(drv, window=MAIN_WINDOW):
    return [dict(zip(("hwnd", "id", "state", "cls", "text"), r.split("\t"))) for r in
            drv("list-children", window).splitlines() if r]


PAGES = ("General Options", "Monitor(s) Options", "Network Interface(s)", "Movements")


def page_shown(drv, page=None):  # the preferences' page on show: with a number (1 = General), that page alone
    if page:
        groups = lambda: [(c["text"], c["state"]) for c in children(drv) if c["id"] == str(ids.IDC_PAGE_GROUP)]
        want = (PAGES[page - 1], "visible")
        assert until(lambda: [g for g in groups() if want[0] in g or "visible" in g] == [want], 3), \
            f"not one page {want[0]} on show: {groups()}"
    return "hwnd:" + next(c["hwnd"] for c in children(drv) if c["cls"] == "#32770" and c["state"] == "visible")


def open_preferences(agents, page=None, control=None):
    # From the tray menu, the page-th tree item selected as a click does; the page on show.
    drv = agents.drv
    if not drv.ok("wait-shown", MAIN_WINDOW, timeout=0):
        agents.choose(ord("P"))
        drv("wait-shown", MAIN_WINDOW, what='"&Preferences..." did not show the preferences')
    if page:
        tree = drv.control(MAIN_WINDOW, ids.IDC_PAGE_TREE)
        item = drv.send(tree, ids.TVM_GETNEXTITEM, ids.TVGN_ROOT)
        for _ in range(page - 1):
            item = drv.send(tree, ids.TVM_GETNEXTITEM, ids.TVGN_NEXT, item)
        drv.send(tree, ids.TVM_SELECTITEM, ids.TVGN_CARET, item)
    return page_shown(drv, page)


class Page(str):
    # A preferences page's window as the driver names it, with what a test asks of its controls and list.
    def __new__(cls, drv, hwnd, list_id=None):
        page = super().__new__(cls, hwnd)
        page.drv, page.hwnd, page.list = drv, hwnd, list_id
        return page

    def text(self, id, want):
        self.drv.wait_text(self, id, want)

    def click(self, id):
        self.drv.press(self, id, click=True)

    def checked(self, id):
        return self.drv.send(child(self.drv, self, id), ids.BM_GETCHECK) == "0x1"

    def enabled(self, on, *controls):
        for id in controls:
            assert self.drv.ok("wait-enabled", self, id, "on" if on else "off", timeout=3000), f"{id} not {on}"

    def rows(self, list_id=None):
        return items(self.drv, self, list_id or self.list)

    def lines(self, selected=False):
        # "image:text" per line, or the selected lines' text
        return [r[3] if selected else f"{r[1]}:{r[3]}" for r in self.rows() if not selected or "selected" in r[2]]

    def expect(self, want, seconds=10):
        # The whole list, or one line of it.
        ok = lambda got: got == want if type(want) is list else want in "\n".join(got)
        assert until(lambda: ok(self.lines()), seconds), self.lines()

    def listed(self):
        # The Interface(s) page's list came: no waiting line, its buttons back.
        assert until(lambda: (got := self.lines()) and not got[0].startswith(f"{ids.WaitingImage}:") and
                     self.drv.ok("wait-enabled", self, ids.IDC_REFRESH_INTERFACES, "on", timeout=0), 10), self.lines()


def answer(drv, caption, text, button, gone=None):
    # No text while the box is being made.
    said = lambda: drv.msgbox(caption).get("text")
    assert until(lambda: said() == text, 8), f'"{caption}" says "{said()}"'
    drv.press(caption, button, msgbox=True)
    if gone:
        drv.wait_gone(gone, 3000)


def close_preferences(drv):
    drv.press(MAIN_WINDOW, ids.IDC_MAIN_CLOSE)
    assert until(lambda: "visible" not in window_states(drv, MAIN_WINDOW), 3), '"&Close" left the preferences'


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


# X's own pointer and keyboard. On the tray's virtual desktop, which covers the
# screen from 0,0, screen and desktop coordinates are the same.
class Hand:
    def __init__(self, prefix, drv):
        self.prefix, self.drv, self.x = prefix, drv, prefix.xdotool

    def move(self, x, y, title=None):
        # In a few steps, so the window under it sees the way in; with a title, until X
        # has it in that window: a press goes where X has the pointer, which is not yet
        # where wine already shows a window.
        fx, fy = self.prefix.xpointer()[:2]
        for i in (1, 2, 3, 4):
            self.x("mousemove", fx + (x - fx) * i // 4, fy + (y - fy) * i // 4)
        assert title is None or until(lambda: self.prefix.xpointer()[2] == title, 3), \
            f'X has the pointer at {self.prefix.xpointer()}, not in "{title}" at {x},{y}'

    def click(self, x, y, title, button=1, count=1):
        self.move(x, y, title)
        self.x("click", "--repeat", count, "--delay", 80, button)

    def drag(self, title, x0, y0, x1, y1, button=1):
        self.move(x0, y0, title)
        self.x("mousedown", button)
        self.move(x1, y1)
        # Once more where the hand stops: the last step may come before the window followed the one before.
        self.x("mousemove", x1, y1, "mouseup", button)

    def keys(self, *keys, to=None):
        if to:
            self.wait_keys(to)
        self.x("key", "--delay", 60, *keys)  # a typing hand's pace

    def xwindows(self):
        return [w for w in self.prefix.run("xwininfo", "-root", "-tree").splitlines() if '"zorvanhagent.exe"' in w]

    def focus(self, window):
        # X's keyboard focus to the agent's X window of that window. After a click on the
        # taskbar X keeps its focus there and refuses a window the agent brings forward, as
        # wine stamps the request with the time of the thread's last message, older than the
        # click; X then sends the keys to the taskbar. A person would click into the window.
        l, t, r, b = map(int, self.drv("window-rect", window).split())
        where = f"{r - l}x{b - t}+{l}+{t}"
        xwin = next((w.split()[0] for w in self.xwindows() if where in w), None)
        assert xwin, f'no X window of the agent at {where} for "{window}"'
        self.x("windowfocus", xwin)

    def wait_keys(self, caption):
        # The window is in front and X sends the agent the keys (wine hands them to its
        # active window); when X refused wine the focus, it is given as a click would.
        self.drv("wait-active", caption, timeout=5000, what=f'"{caption}" is not in front')
        focus = lambda: hex(int(self.prefix.run("xdotool", "getwindowfocus") or 0))
        if not until(lambda: any(focus() in w.split() for w in self.xwindows()), 2):
            self.drv.note(f'X\'s focus stayed off the agent\'s windows; giving it to "{caption}"')
            self.focus(caption)


@pytest.fixture
def hand(prefix, drv):
    return Hand(prefix, drv)
