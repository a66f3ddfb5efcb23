"""Monitor windows opened from the tray's "&Monitors" submenu, and the diagram they draw."""
import re
import subprocess

import ids
from conftest import (EXIT_WINDOW, LAN, LAN_ID, MAIN_WINDOW, MENU_CLASS, WLAN, WLAN_ID, await_monitor, hold,
                      open_monitor, place_monitor, scenario, until, window_states)
from wine import AGENT_KEY, differ, winpath

BUSY = "set-interface lan rx-rate=5000000 tx-rate=2000000"
AT = 20 << 16 | 20  # a point in the client area


def start(sim, agents, *commands):
    sim.start("default.scn", *commands)
    return agents.start_on_tray()


class Diagram:
    """Rows of a monitor's diagram: the right part, clear of the texts, in the lower
    (receive) half above the time arrow's strip, and in the upper (send) half."""

    def __init__(self, prefix, drv, title):
        self.prefix, (self.left, self.top, self.right, self.bottom) = prefix, map(int, drv("window-rect", title).split())
        self.x0, self.x1, self.y, self.send = self.right - 66, self.right - 6, self.bottom - 34, self.top + 40

    def lit(self, shot, y=None):
        return self.prefix.lit(shot, self.x0, self.x1, y or self.y)

    def wait(self, name, ok, seconds, y=None):
        """Screenshots until the row's lit pixels please ok: the diagram moves once a second. The last count."""
        seen = []
        until(lambda: ok(seen.append(self.lit(self.prefix.shot(name), y)) or seen[-1]), seconds, 0.2)
        return seen[-1]


def bars(prefix, drv, title, least=2, seconds=8, name="monitor"):
    d = Diagram(prefix, drv, title)
    n = d.wait(name, lambda n: n >= least, seconds)
    assert n >= least, f"no bars after {seconds} s ({n} lit pixels)"
    return d


def monitor_menu(agents, title, *keys):
    """A right click in the client area opens the monitor's menu; the keys choose from it."""
    for _ in (1, 2, 3):
        agents.drv.post(title, ids.WM_RBUTTONDOWN, ids.MK_RBUTTON, AT)
        agents.drv.post(title, ids.WM_RBUTTONUP, 0, AT)
        menu = until(lambda: [w["hwnd"] for w in agents.drv.windows() if w["cls"] == MENU_CLASS and w["visible"] == "visible"], 4)
        if menu and agents.keys(menu[0], *keys):
            return
    raise AssertionError("the monitor's menu did not take the choice")


def test_monitor_open(sim, agents, prefix):
    drv, agent = agents.drv, start(sim, agents, BUSY)
    open_monitor(agents, 0, LAN)
    assert window_states(drv, LAN) == ["visible"]
    d = bars(prefix, drv, LAN)
    assert (d.right - d.left, d.bottom - d.top) == (200, 128), "the monitor did not open at 200 x 128"
    first = d.lit(prefix.shot("monitor"))
    n = d.wait("monitor", lambda n: n >= first + 2, 8)
    assert n >= first + 2, f"bars do not advance ({first}, then {n})"  # one column a second, newest at the right
    open_monitor(agents, 0, LAN)
    assert window_states(drv, LAN) == ["visible"], "choosing the interface again did not bring the same window forward"
    sim.ledger_clean(2)
    agent.unload()
    drv.wait_gone(LAN)


def test_monitor_disconnect(sim, agents, prefix):
    drv, agent = agents.drv, start(sim, agents, BUSY)
    open_monitor(agents, 0, LAN)
    d = bars(prefix, drv, LAN)
    connected = prefix.shot("monitor-connected")
    sim("set-interface", "lan", "connected=0")
    # The texts at the bottom left say "Not connected" instead of the speed.
    text = f"[{d.x0 - d.left}x14+{d.left}+{d.bottom - 32}]"
    assert until(lambda: differ(f"{connected}{text}", f"{prefix.shot('monitor-disconnected')}{text}") > 10, 5), \
        "the bottom text is the same connected and disconnected"
    a = d.lit(prefix.shot("monitor-disconnected"))
    hold(2, "a disconnected interface's diagram stands still")
    b = d.lit(prefix.shot("monitor-disconnected"))
    assert a >= 1 and a == b, f"diagram moves while disconnected ({a}, then {b})"
    sim("set-interface", "lan", "connected=1")
    n = d.wait("monitor-reconnected", lambda n: n > b, 8)
    assert n > b, f"diagram does not resume after the reconnect ({b}, then {n})"
    agent.unload()


def test_monitor_service_restart(sim, agents, prefix):
    """The service goes away with its mapping and comes back: the window stays, and its diagram moves again."""
    drv, agent = agents.drv, start(sim, agents, BUSY)
    open_monitor(agents, 0, LAN)
    d = bars(prefix, drv, LAN, 1)
    sim("stop-service", "for=3")
    hold(1, "a window wrongly closed with the service goes within a second")
    assert window_states(drv, LAN) == ["visible"], "the monitor went with the service"
    a = d.lit(prefix.shot("monitor-restart"))
    n = d.wait("monitor-restart", lambda n: n >= a + 2, 15)
    assert n >= a + 2, f"diagram does not resume after the restart ({a}, then {n})"
    assert window_states(drv, LAN) == ["visible"], "the restart left another window"
    agent.unload()


def test_monitor_hide_popup(sim, agents, prefix):
    """With "HideWhenDisconnected" and "PopupWhenConnected" the interface's state decides; disabled, it stays away."""
    drv = agents.drv
    place_monitor(prefix, "0000", LAN_ID, (300, 200, 500, 328), "HideWhenDisconnected", "PopupWhenConnected")
    agent = start(sim, agents)
    open_monitor(agents, 0, LAN)
    for connected, state in (("0", "hidden"), ("1", "visible")):
        sim("set-interface", "lan", f"connected={connected}")
        await_monitor(sim, drv, LAN, state)
    agents.choose(ord("D"))
    agents.expect_tip("ZorvanHAgent is disabled")
    assert window_states(drv, LAN) == ["hidden"], "monitor stays on screen while disabled"
    sim("set-interface", "lan", "connected=0")
    hold(1.5, "the disconnect is read")
    sim("set-interface", "lan", "connected=1")
    hold(2, "the monitor does not pop up while disabled")
    assert window_states(drv, LAN) == ["hidden"], "monitor popped up while disabled"
    agents.choose(ord("E"))
    agents.expect_tip("ZorvanHAgent is enabled")
    await_monitor(sim, drv, LAN, "visible")
    agent.unload()


def test_monitor_close_reopen(sim, agents, prefix):
    """Monitors opened and closed over and over leave nothing behind."""
    drv, agent = agents.drv, start(sim, agents, BUSY)
    pid = next(w["pid"] for w in drv.windows() if w["caption"] == EXIT_WINDOW)
    owned = lambda: sum(w["pid"] == pid for w in drv.windows())
    measure = lambda: list(map(int, re.findall(r"=(\d+)", drv("gui-resources", pid))))
    before = owned()
    # The first rounds make what stays for the run (the list's lock, window classes, the heap's growth);
    # now and then a round lasts for a few samples and paints.
    for i in range(22):
        if i == 2:
            first = measure()
        open_monitor(agents, 0, LAN)
        if i < 2 or i % 10 == 1:
            bars(prefix, drv, LAN, 1)
        drv.send(LAN, ids.WM_CLOSE)
        drv.wait_gone(LAN)
    assert owned() == before, f"{before} windows of the agent before, {owned()} after the rounds"
    # Wine answers 0 GDI and USER objects; a lost monitor shows in the handles
    # (two threads and an event a round) and private bytes (80 KB of history a round).
    last = measure()
    assert all(b <= a + most for a, b, most in zip(first, last, (4, 4, 10, 1572864))), \
        f"gdi user handles private grew from {first} to {last}"
    sim.ledger_clean(2)
    agent.unload()


def test_monitor_two_windows(sim, agents, prefix):
    """Two monitors side by side at their stored places, for the documentation's picture."""
    rates = ("speed=1000000 rx-rate=2400000,3100000,800000,5600000,4200000,1500000,6100000,3300000,2000000,4700000 "
             "tx-rate=300000,450000,120000,900000,650000,200000 connected-seconds=5400",
             "speed=540000 rx-rate=900000,1400000,600000,2100000,1700000,300000,2600000 "
             "tx-rate=150000,420000,80000,300000 connected-seconds=600")
    sim.start(scenario(prefix, "first-word 0x00010002\n" + "".join(
        f'add-interface {k} name="{n}" id={i} flags=supported,connected,bound,binding-active {r} connections=1\n'
        for k, n, i, r in (("lan", LAN, LAN_ID, rates[0]), ("wlan", WLAN, WLAN_ID, rates[1])))))
    places = {LAN: (40, 40, 280, 180), WLAN: (300, 40, 540, 180)}
    for n, (title, rect) in enumerate(places.items()):
        place_monitor(prefix, f"000{n}", (LAN_ID, WLAN_ID)[n], rect)
    agent = agents.start_on_tray()
    for n, (title, rect) in enumerate(places.items()):
        open_monitor(agents, n, title)
        assert tuple(map(int, agents.drv("window-rect", title).split())) == rect, f'"{title}" not at its stored place'
    for title, (_, _, right, _) in places.items():
        lit = lambda: prefix.lit(prefix.shot("monitor-two-windows"), right - 66, right - 6, 146)
        assert until(lambda: lit() >= 4, 10, 0.2), f'no bars in "{title}"'
    subprocess.run(["/usr/bin/convert", prefix.artifacts / "monitor-two-windows.png", "-crop", "520x160+30+30",
                    "+repage", prefix.artifacts / "monitor-windows.png"], check=True)
    agent.unload()


def test_monitor_menu(sim, agents, prefix):
    drv, agent = agents.drv, start(sim, agents, BUSY)
    open_monitor(agents, 0, LAN)
    d = bars(prefix, drv, LAN, 6, 10)
    assert d.wait("monitor-menu", lambda n: n >= 6, 10, d.send) >= 6, "no send bars after 10 s"
    monitor_menu(agents, LAN, ids.VK_DOWN, ids.VK_DOWN, ids.VK_RETURN)
    await_monitor(sim, drv, LAN, "hidden")
    # Hidden, the monitor keeps sampling; opening it again shows it with its diagram.
    open_monitor(agents, 0, LAN)
    shown = prefix.shot("monitor-menu-shown")
    lit, send = d.lit(shown), d.lit(shown, d.send)
    assert lit >= 5 and send >= 5, f"diagram lost while hidden ({lit} and {send} lit pixels)"
    # "&Clear diagram" / "&Send" keeps the receive bars; "&Both" empties them too, but for a new second.
    monitor_menu(agents, LAN, ids.VK_UP, ids.VK_RIGHT, ids.VK_RETURN)
    n = d.wait("monitor-menu-cleared", lambda n: n <= 1, 3, d.send)
    assert n <= 1, f'"&Send" left {n} lit pixels in the send half'
    kept = d.lit(prefix.artifacts / "monitor-menu-cleared.png")
    assert kept >= lit, f"clearing the send diagram took receive bars ({lit}, then {kept})"
    monitor_menu(agents, LAN, ids.VK_UP, ids.VK_RIGHT, ids.VK_UP, ids.VK_RETURN)
    assert (n := d.wait("monitor-menu-cleared", lambda n: n <= 1, 3)) <= 1, f'"&Both" left {n} lit pixels'
    monitor_menu(agents, LAN, ids.VK_DOWN, ids.VK_RETURN)
    assert until(lambda: window_states(drv, MAIN_WINDOW) == ["visible"], 5), '"&Properties" did not show the preferences'
    agent.unload()


def test_monitor_startup(sim, agents, prefix):
    """A monitor set to pop up comes at start-up, at its stored place, when the General page asks for
    monitor windows then. The mapping's first publication meets the first refresh at work and its
    pulse is lost, so a status signal stands in for the service's next change."""
    place_monitor(prefix, "0000", LAN_ID, (300, 200, 500, 328), "PopupWhenConnected")
    prefix.reg("add", AGENT_KEY + r"\General", "/v", "ShowMonitorWindows", "/t", "REG_BINARY", "/d", "01", "/f", check=True)
    drv, agent = agents.drv, start(sim, agents)
    if not drv.ok("wait-shown", LAN, timeout=4000):
        sim("signal", "status")
    drv("wait-shown", LAN, timeout=6000, what="no monitor at start-up")
    assert drv("window-rect", LAN).split() == "300 200 500 328".split(), "the monitor did not open at its stored place"
    agent.unload()


def test_monitor_caption(sim, agents, prefix):
    """A stored hidden title opens without a caption; a double-click flips it for the session only."""
    drv = agents.drv
    place_monitor(prefix, "0000", LAN_ID, (300, 200, 500, 328), "HideWindowTitle")
    agent = start(sim, agents)
    open_monitor(agents, 0, LAN)
    caption = lambda: int(drv("style", LAN), 16) & ids.WS_CAPTION == ids.WS_CAPTION
    assert not caption(), 'caption shown although "HideWindowTitle" is set'
    for shown in (True, False):
        drv.post(LAN, ids.WM_LBUTTONDBLCLK, ids.MK_LBUTTON, AT)
        assert until(lambda: caption() == shown, 5), f"a double-click did not {'bring' if shown else 'take'} the caption"
        assert prefix.reg_value(AGENT_KEY + r"\Monitors\0000", "HideWindowTitle") == "REG_BINARY 01", \
            'the caption toggle changed the stored "HideWindowTitle"'
    agent.unload()


def test_diagram_render(prefix):
    """The diagram drawn through the real painting code, without a window."""
    out = prefix.artifacts / "render"
    out.mkdir(exist_ok=True)
    done = subprocess.run([prefix.wine, prefix.bin / "DiagramRenderCheck.exe", winpath(out)], env=prefix.env,
                          capture_output=True, text=True, timeout=60)
    prefix.log.write(done.stdout)
    for bmp in out.glob("*.bmp"):
        subprocess.run(["/usr/bin/convert", bmp, "-strip", bmp.with_suffix(".png")], check=True)
        bmp.unlink()
    assert done.returncode == 0, f"render check: {re.findall(r'.*(?:WRONG|FAILED|could not).*', done.stdout)[:1]}"
