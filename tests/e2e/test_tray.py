# The notification-area icon and its menu, on a virtual desktop whose taskbar holds the icon.
import pathlib
import shutil

import pytest

import ids
from conftest import (LAN, MAIN_WINDOW, agent_pid, STATS_WINDOW as STATS, TITLE, await_monitor, menus,
                      open_monitor, open_statistics, rect, until, window_states)
from wine import differ, winpath

# The items' underlined letters.
D, E, A, H, U = map(ord, "DEAHU")
SUBMENU = (ids.VK_DOWN,) * 3 + (ids.VK_RIGHT,)
ON, OFF = f"{TITLE} is enabled", f"{TITLE} is disabled"
ABOUT = f"About {TITLE}"
ICON = "[64x32+1216+768]"
HELP_CLASS = r"Software\Classes\CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32"


@pytest.fixture
def agent(sim, agents):
    sim.start("default.scn")
    return agents.start_on_tray()


def test_tray_menu(agent, agents, sim, prefix):
    drv, menu = agents.drv, agents.open_menu()
    l, t, r, b = rect(drv, f"hwnd:{menu}")
    # Left of the caption, the banner runs from dark blue at the top to light blue at the bottom.
    seen = lambda: [prefix.pixel(prefix.shot("tray-menu"), l + 4, y) for y in (t + 6, b - 8)]
    shades = lambda top, low: 56 <= top[0] <= 90 and 120 <= top[2] < low[2] and top[0] < low[0]
    assert until(lambda: shades(*seen()), 3), seen()
    # A right click while the menu is open opens no second menu inside the first one's loop.
    drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_RBUTTONUP)
    # Still the one menu.
    assert not until(lambda: menus(drv) != [menu], 3)
    # The "&Monitors" submenu.
    assert agents.keys(menu, *SUBMENU) and until(lambda: len(menus(drv)) >= 2, 3)
    # Escape closes both.
    assert agents.keys(menu, ids.VK_ESCAPE, ids.VK_ESCAPE) and until(lambda: not menus(drv), 3)
    # The menu opens where the click was, although the interface list is slow and the mouse has moved on.
    sim("request-delay", 1, 2500)
    prefix.xdotool("mousemove", 300, 260)
    before = sim.count(1)
    drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_RBUTTONUP)
    sim.wait_count(1, before + 1, 3)
    prefix.xdotool("mousemove", 900, 500)
    at = lambda: [m for m in menus(drv) if rect(drv, f"hwnd:{m}")[:2] == (300, 260)]
    # The menu is where the click was.
    assert until(at, 10)
    agents.keys(at()[0], ids.VK_ESCAPE)
    sim("request-delay", 1, 0)
    agent.unload()
    # The menu hands its list back once it has closed.
    sim.ledger_clean(2)


# Disabled, the icon looks other, and comes back so (its tip tells) when the shell restarts. Disabling
# hides the monitors and the statistics window; enabling brings them back, unless the user closed it.
def test_tray_enable_disable(agent, agents, sim, prefix):
    drv, on = agents.drv, prefix.shot("tray-enabled")
    agents.choose(D)
    agents.expect_tip(OFF)
    agents.expect_tip(ON, False)
    # Another icon.
    assert until(lambda: differ(f"{on}{ICON}", f"{prefix.shot('tray-disabled')}{ICON}") > 20, 3)
    drv("tray-delete", MAIN_WINDOW)
    agents.expect_tip(OFF, False)
    drv("post", MAIN_WINDOW, "name:TaskbarCreated", 0, 0)
    agents.expect_tip(OFF)
    # Enabled by the keys.
    assert agents.keys(agents.open_menu(), *[ids.VK_DOWN] * 4, ids.VK_RETURN)
    agents.expect_tip(ON)
    open_monitor(agents, 0, LAN)
    open_statistics(agents)
    for closed in (False, True):
        agents.choose(D)
        agents.expect_tip(OFF)
        drv.wait_gone(STATS)
        await_monitor(sim, drv, LAN, "hidden")
        agents.choose(E)
        agents.expect_tip(ON)
        await_monitor(sim, drv, LAN, "visible")
        # Enabling reopens the statistics unless the user closed them.
        assert drv.ok("wait-shown", STATS, timeout=8000 - 6000 * closed) != closed
        if not closed:
            drv.press(STATS, ids.IDOK)
            drv.wait_gone(STATS)
    sim.ledger_clean(2)
    agent.unload()


# One About box however often asked; the missing help said; the unload question asked once,
# No keeps the agent (Yes is the unload tests' part).
def test_tray_dialogs(agent, agents, sim, prefix):
    drv, questions = agents.drv, lambda: window_states(agents.drv, TITLE).count("visible")
    for _ in (1, 2):
        agents.choose(A)
        drv.wait_window(ABOUT)
    # One About box.
    assert window_states(drv, ABOUT) == ["visible"]
    drv.press(ABOUT, ids.IDOK)
    drv.wait_gone(ABOUT)
    # The help control is the file the machine's class names, never one from the user's own
    # classes, which any program of the user may write.
    machine = prefix.reg("query", rf"HKLM\{HELP_CLASS}", "/ve").split("REG_SZ")[-1].strip()
    for name, hive in (("machine", "HKLM"), ("user", "HKCU")):
        shutil.copy(prefix.bin / "ZorvanHServiceIO.dll", pathlib.Path(prefix.env["WINEPREFIX"], "drive_c", f"{name}.ocx"))
        prefix.reg("add", rf"{hive}\{HELP_CLASS}", "/ve", "/d", rf"C:\{name}.ocx", "/f", check=True)
    try:
        agents.choose(H)
        # Wine names the same folder with either letter case of the drive.
        assert drv.msgbox(TITLE)["text"].lower() == \
            f"Help File: {winpath(prefix.bin)}\\ZorvanHMonitorManual.chm, was not found or corrupted!".lower()
        loaded = drv("modules", agent_pid(drv)).lower()
        assert "machine.ocx" in loaded and "user.ocx" not in loaded, loaded
    finally:
        prefix.reg("add", rf"HKLM\{HELP_CLASS}", "/ve", "/d", machine, "/f", check=True)
        prefix.reg("delete", rf"HKCU\{HELP_CLASS}", "/f")
    drv.press(TITLE, ids.IDOK, msgbox=True)
    agents.choose(U)
    drv.msgbox(TITLE)
    # The menu still opens meanwhile.
    agents.choose(U)
    # Asked once,
    assert not until(lambda: questions() > 1, 4)
    drv.press(TITLE, ids.IDNO, msgbox=True)
    # and no more after No.
    assert until(lambda: questions() == 0, 12)
    agent.unload()
    sim.ledger_clean(2)


def test_tray_monitors_messages(agent, agents, sim, prefix):
    # Without interfaces to list, "&Monitors" says why in one grey line (whose command 0, as Escape's,
    # opens nothing: the input tests' part).
    drv, seen = agents.drv, []
    for fault in ("", "not-started", "truncate bytes=8"):
        sim("clear-fault", "all")
        if fault:
            sim("fault", *fault.split(), "code=1")
        menu = agents.open_menu()
        sub = agents.keys(menu, *SUBMENU) and until(lambda: [m for m in menus(drv) if m != menu], 3)
        assert sub
        l, t, r, b = rect(drv, f"hwnd:{sub[0]}")
        seen.append((b - t, f"{prefix.shot(f'tray-submenu-{len(seen)}')}[{r - l}x{b - t}+{l}+{t}]"))
        agents.keys(menu, *[ids.VK_ESCAPE] * 3)
    sim("clear-fault", "all")
    (h, _), (h1, a), (h2, b) = seen
    # One line of one height, each fault's its own.
    assert h1 == h2 < h and differ(a, b)
    sim.ledger_clean(2)
    agent.unload()
