"""Unloading with something open, and messages from other programs."""
import pathlib
import time

import pytest

import ids
from conftest import (EXIT_WINDOW, MAIN_WINDOW, RUNNING_MUTEX, STATS_WINDOW, TITLE, child, enabled,
                      open_preferences, open_statistics, until)
from test_data_files import CHOICE, PROGRESS, browse
from test_interfaces import UNBINDING
from test_monitors_page import properties
from test_preferences import ASKING, DELETING

CLEAR_QUESTION = "ZorvanHAgent Clear Statistics..."
ABOUT_BOX = "About ZorvanHAgent"
MONITOR = "Gigabit Ethernet Adapter (PCI)"
UNLOAD_SECONDS = 5


def unload_within_bound(way, agents, drv, sim):
    drv("watch-process", next(w["pid"] for w in drv.windows() if w["caption"] == EXIT_WINDOW))
    if way == "tray":
        # The question shares its caption with the agent's other boxes.
        boxes = lambda: {w["hwnd"] for w in drv.windows() if w["caption"] == TITLE and w["cls"] == "#32770"}
        open_before = boxes()
        agents.choose(ord("U"))
        question = until(lambda: boxes() - open_before, 5)
        assert question, "the tray's Unload asked nothing"
        began = time.monotonic()
        drv.press("hwnd:" + question.pop(), ids.IDYES)
    else:
        began = time.monotonic()
        drv.post(EXIT_WINDOW, ids.WM_AGENT_REFRESH)
    # The handle tells when and how it ended (its Linux process may be reaped later);
    # a crash would leave it to wine's debugger and its dialog.
    code = drv("exit-code", timeout=(UNLOAD_SECONDS + 3) * 1000, what="the agent did not end")
    took = time.monotonic() - began
    assert took <= UNLOAD_SECONDS, f"the agent took {took:.1f} s to unload"
    assert code == "0", f"the agent ended with exit code {code}"
    assert not drv.ok("mutex-exists", RUNNING_MUTEX), "the single-instance mutex outlived the agent"
    assert not any(w["caption"] == "Program Error" for w in drv.windows()), "a crash dialog came up"
    sim.ledger_clean(1)


def clear_question(button):
    def bring(agents, drv, sim):
        open_statistics(agents)
        drv.wait_text(STATS_WINDOW, ids.IDC_STATS_CONNECTION_COMBO, "Dial-in", timeout=8000)
        drv.press(STATS_WINDOW, button)
        drv.wait_window(CLEAR_QUESTION)
    return bring


def statistics_starting(agents, drv, sim):
    # Slow lists keep the window's first requests on their way.
    sim("request-delay", 1, 2000)
    drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_LBUTTONDBLCLK)


def about_box(agents, drv, sim):
    agents.choose(ord("A"))
    drv.wait_window(ABOUT_BOX)


def help_missing_box(agents, drv, sim):
    agents.choose(ord("H"))
    drv.msgbox(TITLE)


def asked_then_in_flight(page, button, question, code):
    """The page's button, its question answered Yes, and the request it sends
    held by the simulator's delay."""
    def bring(agents, drv, sim):
        hwnd = open_preferences(agents, page, button)
        assert until(lambda: enabled(drv, hwnd, button), 10), f"button {button} stayed off"
        before = sim.count(code)
        drv.press(hwnd, button)
        drv.msgbox(question)
        drv.press(question, ids.IDYES, msgbox=True)
        sim.wait_count(code, before + 1)
    return bring


def backup_in_flight(agents, drv, sim):
    browse(drv, open_preferences(agents, 1, ids.IDC_DATA_BROWSE))
    drv.wait_window(CHOICE)
    drv.press(CHOICE, ids.IDC_DF_BACKUP, click=True)
    drv.press(CHOICE, ids.IDOK)
    drv.wait_window(PROGRESS)


def hold_on_busy_service(agents, drv, sim):
    # Request 14 repeats while the service answers busy.
    page = open_preferences(agents, 1, ids.IDC_HOLD_SLIDER)
    slider = child(drv, page, ids.IDC_HOLD_SLIDER)
    drv.send(slider, ids.TBM_SETPOS, 1, 50)
    drv.post(page, ids.WM_HSCROLL, ids.TB_ENDTRACK, slider[5:])
    sim.wait_count(14, 3)


def monitor_properties(agents, drv, sim):
    # The Monitor(s) page lists behind the slow interface list.
    agents.choose(ids.VK_DOWN, ids.VK_DOWN, ids.VK_DOWN, ids.VK_RIGHT, ids.VK_RETURN)
    drv("wait-shown", MONITOR, timeout=8000)
    sim("request-delay", 1, 3000)
    before = sim.count(1)
    properties(agents, MONITOR)
    drv("wait-shown", MAIN_WINDOW, timeout=8000)
    sim.wait_count(1, before + 1)


SITUATIONS = {  # what brings it, the scenario, simulator commands
    "clear-overall": (clear_question(ids.IDC_STATS_CLEAR_OVERALL), "statistics.scn"),
    "clear-current": (clear_question(ids.IDC_STATS_CLEAR_CURRENT), "statistics.scn"),
    "statistics-starting": (statistics_starting, "statistics.scn"),
    "unbind-all": (asked_then_in_flight(3, ids.IDC_UNBIND_ALL, UNBINDING, 5), "interfaces.scn", "request-delay 5 3000"),
    "delete": (asked_then_in_flight(4, ids.IDC_DELETE_NOT_PRESENT, ASKING, 10), "movements.scn",
               "request-delay 10 3000"),
    "backup": (backup_in_flight, "default.scn", "data-settings folder=C:\\windows\\system32\\",
               "data-files duration=20000"),
    "hold-busy": (hold_on_busy_service, "default.scn", "fault busy code=14 block=yes times=100000"),
    "monitor-properties": (monitor_properties, "statistics.scn"),
    "about-box": (about_box, "default.scn"),
    "message-box": (help_missing_box, "default.scn"),
}


# The tray icon takes no click while data files are being worked on.
CASES = [(way, situation) for way in ("tray", "exit") for situation in SITUATIONS
         if (way, situation) != ("tray", "backup")]


@pytest.mark.parametrize("way,situation", CASES)
def test_unload_is_bounded(way, situation, sim, agents, drv):
    bring, *scenario = SITUATIONS[situation]
    # On a desktop with a notification area, as a user's is: without one,
    # wine holds each tray icon call for seconds, which no user's unload waits.
    sim.start(*scenario)
    agents.start_on_tray()
    bring(agents, drv, sim)
    unload_within_bound(way, agents, drv, sim)


def agent_threads(pid):
    return len(list(pathlib.Path(f"/proc/{pid}/task").iterdir()))


def test_messages_from_other_programs(sim, agents, drv):
    sim.start("statistics.scn")
    agent = agents.start_on_tray()
    pid = next(w["pid"] for w in drv.windows() if w["caption"] == EXIT_WINDOW)
    tips = lambda: {w["hwnd"] for w in drv.windows() if w["pid"] == pid and w["cls"] == "tooltips_class32"}
    controls_tips = tips()
    agents.choose(ids.VK_DOWN, ids.VK_DOWN, ids.VK_DOWN, ids.VK_RIGHT, ids.VK_RETURN)  # the first monitor
    drv("wait-shown", MONITOR, timeout=8000)
    open_statistics(agents)
    # Its dialogs and the monitor's own tooltip; the tooltips that common
    # controls make for themselves take pointers from anyone, in any program.
    dialogs = [w for w in drv.windows() if w["pid"] == pid and (w["cls"] == "#32770" or
                                                                  w["hwnd"] in tips() - controls_tips)]
    assert len(dialogs) >= 4, f"the agent's windows: {dialogs}"
    before = agent_threads(agent.pid)
    for window in dialogs:
        for first in (ids.WM_USER, ids.WM_APP):
            # The exit window's WM_AGENT_REFRESH is the one message meant to end the agent.
            drv("flood", f"hwnd:{window['hwnd']}", first, first + 0x200, ids.WM_AGENT_REFRESH, timeout=400000)
        agent.expect_responsive()
        threads = agent_threads(agent.pid)
        assert threads <= before + 4, f"{threads} threads after {window['caption']!r}, {before} before"
    agent.unload()
    sim.ledger_clean(1)
