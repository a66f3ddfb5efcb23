# Monitor windows opened from the tray's "&Monitors" submenu, and the diagram they draw.
import os
import re
import subprocess

import ids
from conftest import (LAN, LAN_ID, await_monitor, gui_resources, hold, menus, open_monitor, place_monitor, until,
                      window_states)
from wine import AGENT_KEY, differ, winpath

BUSY = "set-interface lan rx-rate=5000000 tx-rate=2000000"
# A point in the client area.
AT = 20 << 16 | 20
PLACE = (300, 200, 500, 328)


# Rows of a monitor's diagram: its right part, clear of the texts, in the lower
# (receive) half above the time arrow's strip, and in the upper (send) half.
class Diagram:
    def __init__(self, prefix, drv, title):
        self.prefix, (self.left, self.top, self.right, self.bottom) = prefix, map(int, drv("window-rect", title).split())
        self.y, self.send = self.bottom - 34, self.top + 40

    def lit(self, shot, y=None):
        return self.prefix.lit(shot, self.right - 66, self.right - 6, y or self.y)

    # Screenshots until the row's lit pixels please ok, as the diagram moves once a second; the last count.
    def expect(self, ok, what, seconds=8, y=None, name="monitor"):
        seen = []
        assert until(lambda: ok(seen.append(self.lit(self.prefix.shot(name), y)) or seen[-1]), seconds, 0.2), \
            f"{what} ({seen[-1]} lit pixels)"
        return seen[-1]


# The agent on the tray with the first interface's monitor open.
def opened(sim, agents, prefix):
    sim.start("default.scn", BUSY)
    agent = agents.start_on_tray()
    open_monitor(agents, 0, LAN)
    return agent, Diagram(prefix, agents.drv, LAN)


# A right click in the client area opens the monitor's menu; the keys choose from it.
def monitor_menu(agents, *keys):
    for _ in (1, 2, 3):
        agents.drv.post(LAN, ids.WM_RBUTTONDOWN, ids.MK_RBUTTON, AT)
        agents.drv.post(LAN, ids.WM_RBUTTONUP, 0, AT)
        menu = until(lambda: menus(agents.drv), 4)
        if menu and agents.keys(menu[0], *keys):
            return
    raise AssertionError("the monitor's menu did not take the choice")


def test_monitor_open(sim, agents, prefix):
    agent, d = opened(sim, agents, prefix)
    drv = agents.drv
    # One column a second, newest at the right.
    first = d.expect(lambda n: n >= 2, "no bars")
    d.expect(lambda n: n >= max(first + 2, 6), f"bars do not advance from {first}", 10)
    d.expect(lambda n: n >= 6, "no send bars", 10, d.send)
    # Chosen again, shown or hidden from its menu (where it keeps sampling), the same window comes forward.
    for keys in ((), (ids.VK_DOWN, ids.VK_DOWN, ids.VK_RETURN)):
        if keys:
            monitor_menu(agents, *keys)
            await_monitor(sim, drv, LAN, "hidden")
        open_monitor(agents, 0, LAN)
        # The same window.
        assert window_states(drv, LAN) == ["visible"]
    # X shows it a moment after wine does, the more so under load: the diagram must be there once it is seen.
    d.expect(lambda n: n > 0, "the monitor is not on screen again")
    lit = d.expect(lambda n: n >= 5, "diagram lost while hidden", 1)
    # "&Clear diagram" / "&Send" keeps the receive bars; "&Both" empties them too, but for a new second.
    monitor_menu(agents, ids.VK_UP, ids.VK_RIGHT, ids.VK_RETURN)
    d.expect(lambda n: n <= 1, '"&Send" left the send half', 3, d.send)
    kept = d.lit(prefix.artifacts / "monitor.png")
    # A shot can catch a second's scroll before its new column is drawn.
    assert kept >= lit - 1
    monitor_menu(agents, ids.VK_UP, ids.VK_RIGHT, ids.VK_UP, ids.VK_RETURN)
    d.expect(lambda n: n <= 1, '"&Both" left the receive half', 3)
    sim.ledger_clean(2)
    agent.unload()
    drv.wait_gone(LAN)


# Disconnected, the bottom texts say so (that the diagram then stands still is the unit tests' part); the
# service going away with its mapping leaves the window. After either, the diagram moves again.
def test_monitor_disconnect(sim, agents, prefix):
    agent, d = opened(sim, agents, prefix)
    d.expect(lambda n: n >= 2, "no bars")
    text = f"[{d.right - 66 - d.left}x14+{d.left}+{d.bottom - 32}]"
    connected = f"{prefix.shot('monitor-connected')}{text}"
    sim("set-interface", "lan", "connected=0")
    # The bottom text changes.
    assert until(lambda: differ(connected, f"{prefix.shot('monitor-off')}{text}") > 10, 5)
    b = d.lit(prefix.shot("monitor-off"))
    sim("set-interface", "lan", "connected=1")
    d.expect(lambda n: n > b, f"diagram does not resume after the reconnect from {b}")
    sim("stop-service", "for=3")
    hold(1, "a window wrongly closed with the service goes within a second")
    a = d.lit(prefix.shot("monitor"))
    d.expect(lambda n: n >= a + 2, f"diagram does not resume after the restart from {a}", 15)
    # The same window stayed through the restart.
    assert window_states(agents.drv, LAN) == ["visible"]
    agent.unload()


# A monitor stored with these flags pops up at start-up, at its stored place, when the General page asks for
# monitor windows then; without a caption, which a double click flips for the session only. The interface's
# state then shows and hides it, unless the agent is disabled.
def test_monitor_stored_flags(sim, agents, prefix):
    place_monitor(prefix, "0000", LAN_ID, PLACE, "HideWindowTitle", "HideWhenDisconnected", "PopupWhenConnected")
    prefix.reg("add", AGENT_KEY + r"\General", "/v", "ShowMonitorWindows", "/t", "REG_BINARY", "/d", "01", "/f", check=True)
    sim.start("default.scn")
    drv, agent = agents.drv, agents.start_on_tray()
    # The mapping's first publication meets the first refresh at work and its pulse is lost:
    # a status signal stands in for the service's next change.
    if not drv.ok("wait-shown", LAN, timeout=4000):
        sim("signal", "status")
    drv("wait-shown", LAN, timeout=6000, what="no monitor at start-up")
    # At its stored place,
    assert drv("window-rect", LAN).split() == list(map(str, PLACE))
    caption = lambda: int(drv("style", LAN), 16) & ids.WS_CAPTION == ids.WS_CAPTION
    # without a caption.
    assert not caption()
    for shown in (True, False):
        drv.post(LAN, ids.WM_LBUTTONDBLCLK, ids.MK_LBUTTON, AT)
        # A double click flips the caption.
        assert until(lambda: caption() == shown, 5)
        # The flip is for the session: what is stored stays.
        assert prefix.reg_value(AGENT_KEY + r"\Monitors\0000", "HideWindowTitle") == "REG_BINARY 01"
    # Listed but absent from the statistics view counts as not connected.
    for hide, show in (("set-interface lan connected=0", "set-interface lan connected=1"),
                       ("mapping count 0", "mapping real")):
        for command, state in ((hide, "hidden"), (show, "visible")):
            sim(*command.split())
            await_monitor(sim, drv, LAN, state)
    # A refresh (2 s after a configuration change) that finds the service stopped hides it too.
    sim("signal", "conf")
    sim("stop-service")
    # Hidden with the service stopped.
    assert until(lambda: window_states(drv, LAN) == ["hidden"], 6)
    sim("start-service")
    await_monitor(sim, drv, LAN, "visible")
    agents.choose(ord("D"))
    agents.expect_tip("ZorvanHAgent is disabled")
    sim("set-interface", "lan", "connected=0")
    hold(1.5, "the disconnect is read")
    sim("set-interface", "lan", "connected=1")
    hold(2, "the monitor does not pop up while disabled")
    # Not while disabled.
    assert window_states(drv, LAN) == ["hidden"]
    agents.choose(ord("E"))
    await_monitor(sim, drv, LAN, "visible")
    agent.unload()


def test_monitor_close_reopen(sim, agents, prefix):
    drv = agents.drv
    sim.start("default.scn", BUSY)
    agent = agents.start_on_tray()
    # The first rounds make what stays for the run (the list's lock, window classes, the heap's growth);
    # now and then a round lasts for a few samples and paints.
    # A long run on demand.
    for i in range(2 + int(os.environ.get("MONITOR_ROUNDS", 20))):
        if i == 2:
            grown = gui_resources(drv, 1572864)
        open_monitor(agents, 0, LAN)
        if i < 2 or i % 10 == 1:
            Diagram(prefix, drv, LAN).expect(lambda n: n >= 1, "no bars")
        drv.send(LAN, ids.WM_CLOSE)
        drv.wait_gone(LAN)
    bad, seen = grown()
    assert not bad, seen
    sim.ledger_clean(2)
    agent.unload()


def render(prefix):
    # (exit code, output) of the diagram drawn through the real painting code, without a
    # window, at the prefix's dpi; its pictures kept as PNG.
    out = prefix.artifacts / "render"
    out.mkdir(exist_ok=True)
    # Into a file, not a pipe: wine's own processes started with it hold a pipe open past its end.
    with open(out / "result.txt", "w+") as result:
        code = subprocess.run([prefix.wine, prefix.bin / "DiagramRenderCheck.exe", winpath(out)], env=prefix.env,
                              stdout=result, stderr=prefix.log, timeout=60).returncode
    for bmp in out.glob("*.bmp"):
        subprocess.run(["/usr/bin/convert", bmp, "-strip", bmp.with_suffix(".png")], check=True)
        bmp.unlink()
    return code, (out / "result.txt").read_text()


def test_diagram_render(prefix):
    code, text = render(prefix)
    assert code == 0, f"render check: {re.findall(r'.*(?:WRONG|FAILED|could not).*', text)[:1]}"
