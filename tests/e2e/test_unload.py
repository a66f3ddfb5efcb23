# Unloading with something open, and messages from other programs.
import pathlib
import time

import pytest

import ids
from conftest import (EXIT_WINDOW, LAN, MAIN_WINDOW, STATS_WINDOW as STATS, TITLE, TWO_MONITORS, WLAN, agent_pid, child,
                      enabled, open_monitor, open_preferences, open_statistics, scenario, until)
from test_data_files import CHOICE, PROGRESS, browse
from test_interfaces import UNBINDING
from test_monitors_page import properties
from test_preferences import ASKING
from test_statistics import CLEAR


# How long the service holds a request in flight: it comes back within the
# unload's bound with room to spare, so the ledger shows it handed back.
HELD = 2000


def unload(way, agents, drv, sim):
    drv("watch-process", agent_pid(drv))
    if way == "tray":
        # The question shares its caption with the agent's other boxes.
        boxes = lambda: {w["hwnd"] for w in drv.windows() if w["caption"] == TITLE and w["cls"] == "#32770"}
        known = boxes()
        agents.choose(ord("U"))
        question = until(lambda: boxes() - known, 5)
        assert question
        began = time.monotonic()
        drv.press("hwnd:" + question.pop(), ids.IDYES)
    else:
        began = time.monotonic()
        drv.post(EXIT_WINDOW, ids.WM_AGENT_REFRESH)
    # The handle tells when and how it ended (its Linux process may be reaped later);
    # a crash would leave it to wine's debugger and its dialog.
    code = drv("exit-code", timeout=8000, what="the agent did not end")
    took = time.monotonic() - began
    assert took <= 5 and code == "0"
    sim.ledger_clean(1)


def clear_question(button):
    def bring(agents, drv, sim):
        open_statistics(agents)
        drv.wait_text(STATS, ids.IDC_STATS_CONNECTION_COMBO, "Dial-in", timeout=8000)
        drv.press(STATS, button)
        drv.wait_window(CLEAR)
    return bring


def statistics_starting(agents, drv, sim):
    # Slow lists keep the window's first requests on their way.
    sim("request-delay", 1, 2000)
    drv.post(MAIN_WINDOW, ids.WM_AGENT_TRAY_NOTIFY, 0, ids.WM_LBUTTONDBLCLK)


def menu_box(key, wait, caption):
    return lambda agents, drv, sim: (agents.choose(ord(key)), getattr(drv, wait)(caption))


def asked_then_in_flight(page, button, question, code):
    # The page's button, its question answered Yes, and the request it sends held by the simulator's delay.
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
    open_monitor(agents, 0, LAN)
    sim("request-delay", 1, HELD)
    before = sim.count(1)
    properties(agents, LAN)
    drv("wait-shown", MAIN_WINDOW, timeout=8000)
    sim.wait_count(1, before + 1)


def busy(agents, drv, sim):
    # Two monitors sample and the statistics window waits for a slow overall request.
    open_monitor(agents, 0, LAN)
    open_monitor(agents, 1, WLAN)
    open_statistics(agents)
    sim("request-delay", 2, HELD)
    sim.wait_count(2, sim.count(2) + 1, 5)
    sim("signal", "status")


# What brings it, the scenario, simulator commands.
SITUATIONS = {
    "clear-overall": (clear_question(ids.IDC_STATS_CLEAR_OVERALL), "statistics.scn"),
    "clear-current": (clear_question(ids.IDC_STATS_CLEAR_CURRENT), "statistics.scn"),
    "statistics-starting": (statistics_starting, "statistics.scn"),
    "unbind-all": (asked_then_in_flight(3, ids.IDC_UNBIND_ALL, UNBINDING, 5), "interfaces.scn",
                   f"request-delay 5 {HELD}"),
    "delete": (asked_then_in_flight(4, ids.IDC_DELETE_NOT_PRESENT, ASKING, 10), "movements.scn",
               f"request-delay 10 {HELD}"),
    "backup": (backup_in_flight, "default.scn", "data-settings folder=C:\\windows\\system32\\",
               "data-files duration=20000"),
    "hold-busy": (hold_on_busy_service, "default.scn", "fault busy code=14 block=yes times=100000"),
    "monitor-properties": (monitor_properties, "statistics.scn"),
    "about-box": (menu_box("A", "wait_window", f"About {TITLE}"), "default.scn"),
    "message-box": (menu_box("H", "msgbox", TITLE), "default.scn"),
    "busy": (busy, TWO_MONITORS),
}


# The tray icon takes no click while data files are being worked on.
CASES = [(way, situation) for way in ("tray", "exit") for situation in SITUATIONS
         if (way, situation) != ("tray", "backup")]


@pytest.mark.parametrize("way,situation", CASES)
def test_unload_is_bounded(way, situation, sim, agents, drv, prefix):
    bring, first, *commands = SITUATIONS[situation]
    # On a desktop with a notification area, as a user's is: without one,
    # wine holds each tray icon call for seconds, which no user's unload waits.
    sim.start(scenario(prefix, first) if "\n" in first else first, *commands)
    agents.start_on_tray()
    bring(agents, drv, sim)
    unload(way, agents, drv, sim)


def test_messages_from_other_programs(sim, agents, drv):
    sim.start("statistics.scn")
    agent, pid = agents.start_on_tray(), agent_pid(drv)
    tips = lambda: {w["hwnd"] for w in drv.windows() if w["pid"] == pid and w["cls"] == "tooltips_class32"}
    controls_tips = tips()
    open_monitor(agents, 0, LAN)
    open_statistics(agents)
    # Its dialogs and the monitor's own tooltip; the tooltips that common
    # controls make for themselves take pointers from anyone, in any program.
    dialogs = [w for w in drv.windows() if w["pid"] == pid and (w["cls"] == "#32770" or
                                                                  w["hwnd"] in tips() - controls_tips)]
    assert len(dialogs) >= 4, dialogs
    threads = lambda: len(list(pathlib.Path(f"/proc/{agent.pid}/task").iterdir()))
    before = threads()
    for window in dialogs:
        for first in (ids.WM_USER, ids.WM_APP):
            # The exit window's WM_AGENT_REFRESH is the one message meant to end the agent.
            drv("flood", f"hwnd:{window['hwnd']}", first, first + 0x200, ids.WM_AGENT_REFRESH, timeout=400000)
        agent.expect_responsive()
        assert threads() <= before + 4, window
    agent.unload()
    sim.ledger_clean(1)
