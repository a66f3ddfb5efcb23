"""Unloading with something open, and messages from other programs."""
import pathlib
import time

import pytest

import ids
from conftest import EXIT_WINDOW, MAIN_WINDOW, RUNNING_MUTEX, STATS_WINDOW, TITLE, open_statistics

CLEAR_QUESTION = "ZorvanHAgent Clear Statistics..."
ABOUT_BOX = "About ZorvanHAgent"
MONITOR = "Gigabit Ethernet Adapter (PCI)"
UNLOAD_SECONDS = 5


def unload_within_bound(way, agents, drv, sim, agent):
    if way == "tray":
        agents.choose(ord("U"))
        drv.msgbox(TITLE)
        began = time.monotonic()
        drv.press(TITLE, ids.IDYES, msgbox=True)
    else:
        began = time.monotonic()
        drv.post(EXIT_WINDOW, ids.WM_AGENT_REFRESH)
    # A crash would leave the process to wine's debugger and its dialog.
    agent.expect_exit(0, UNLOAD_SECONDS + 3)
    took = time.monotonic() - began
    assert took <= UNLOAD_SECONDS, f"the agent took {took:.1f} s to unload"
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


SITUATIONS = {
    "clear-overall": ("statistics.scn", clear_question(ids.IDC_STATS_CLEAR_OVERALL)),
    "clear-current": ("statistics.scn", clear_question(ids.IDC_STATS_CLEAR_CURRENT)),
    "statistics-starting": ("statistics.scn", statistics_starting),
    "about-box": ("default.scn", about_box),
    "message-box": ("default.scn", help_missing_box),
}


# The tray's unload question would share its caption with an open box.
CASES = [(way, situation) for way in ("tray", "exit") for situation in SITUATIONS
         if (way, situation) != ("tray", "message-box")]


@pytest.mark.parametrize("way,situation", CASES)
def test_unload_is_bounded(way, situation, sim, agents, drv):
    scenario, bring = SITUATIONS[situation]
    # On a desktop with a notification area, as a user's is: without one,
    # wine holds each tray icon call for seconds, which no user's unload waits.
    sim.start(scenario)
    agent = agents.start_on_tray()
    bring(agents, drv, sim)
    unload_within_bound(way, agents, drv, sim, agent)


def agent_threads(pid):
    return len(list(pathlib.Path(f"/proc/{pid}/task").iterdir()))


def test_messages_from_other_programs(sim, agents, drv):
    sim.start("statistics.scn")
    agent = agents.start_on_tray()
    agents.choose(ids.VK_DOWN, ids.VK_DOWN, ids.VK_DOWN, ids.VK_RIGHT, ids.VK_RETURN)  # the first monitor
    drv("wait-shown", MONITOR, timeout=8000)
    open_statistics(agents)
    exit_window = next(w for w in drv.windows() if w["caption"] == EXIT_WINDOW)
    dialogs = [w for w in drv.windows() if w["pid"] == exit_window["pid"] and w["cls"] == "#32770"]
    assert len(dialogs) >= 3, f"the agent's windows: {dialogs}"
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
