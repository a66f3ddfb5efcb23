# Large fonts, out of the normal run: E2E_DPI=120 pytest tests/e2e -m dpi (96 unless
# set). Every window's texts fit their controls, which do not overlap.
import os
import re

import pytest

import ids
from conftest import (LAN, MAIN_WINDOW, STATS_WINDOW as STATS, close_preferences, items, open_monitor, open_preferences,
                      open_statistics, until)
from test_data_files import CHOICE, FOLDER, PROGRESS, DataFiles
from test_interfaces import BINDING, Page as Interfaces
from test_monitors import Diagram, render
from test_statistics import CLEAR

DPI = int(os.environ.get("E2E_DPI") or 96)
pytestmark = pytest.mark.dpi
SYNC, ABOUT = "ZorvanH Agent is synchronizing...", "About ZorvanHAgent"


def test_dpi_windows(sim, agents, drv, prefix):
    problems = []

    # Every problem the driver finds is noted, and the run goes on to the next window.
    def measure(name, window, *command):
        if window:
            drv("wait-shown", window, timeout=10000)
        # A dialog is shown a moment before its controls: measured then, it would pass empty.
        run = lambda: drv.run(*(command or ("measure", window)))
        code, out = until(lambda: r if " 0 control(s)" not in (r := run())[1] else None, 5) or run()
        prefix.shot(f"dpi{DPI}-{name}")
        lines = [l for l in out.splitlines() if not l.startswith(("dpi ", "item\t"))]
        if code or lines or f"dpi {DPI}," not in out or " 0 control(s)" in out:
            problems.append(f"{name}: {lines or out.splitlines()[-1:]}")

    # An adapter left unbound gives "Bind a&ll supported" work; the service takes its time.
    d = DataFiles(sim, agents, FOLDER, 60000, "data-settings hold=250", "request-delay 14 2500",
                  "request-delay 5 2500", "set-interface lan rx-rate=5000000 tx-rate=2000000")
    sim("add-interface", "usb", "name=USB Ethernet Adapter", "flags=supported")
    menu = agents.open_menu()
    # The separators are no text.
    measure("tray-menu", None, "measure-menu", f"hwnd:{menu}", 7)
    agents.keys(menu, ids.VK_ESCAPE)
    page = open_preferences(agents, 1)
    measure("preferences-general", MAIN_WINDOW)
    slider = drv.control(page, ids.IDC_HOLD_SLIDER)
    drv.send(slider, ids.TBM_SETPOS, 1, 40)
    drv.post(page, ids.WM_HSCROLL, ids.TB_ENDTRACK, slider[5:])
    measure("synchronizing", SYNC)
    drv.wait_gone(SYNC, 10000)
    d.browse()
    # Found once its controls are made.
    drv.control(CHOICE, ids.IDC_DF_BACKUP)
    measure("data-files-choice", CHOICE)
    drv.press(CHOICE, ids.IDOK)
    measure("data-files-progress", PROGRESS)
    drv.press(PROGRESS, ids.IDCANCEL)
    d.box("Do you want to cancel operation?", ids.IDYES)
    d.box("Operation has been canceled!")
    drv.wait_gone(PROGRESS)
    page = open_preferences(agents, 2)
    # The list has its interfaces,
    assert until(lambda: LAN in [r[3] for r in items(drv, page, ids.IDC_MON_INTERFACES)], 10)
    drv("lv-select", page, ids.IDC_MON_INTERFACES, 0, "on")
    # and the chosen one its parameters.
    assert until(lambda: items(drv, page, ids.IDC_MON_FLAGS), 10)
    measure("preferences-monitors", MAIN_WINDOW)
    ifaces = Interfaces(sim, agents, scenario=None)
    measure("preferences-interfaces", MAIN_WINDOW)
    drv.press(ifaces.hwnd, ids.IDC_BIND_ALL)
    dialog = ifaces.progress(BINDING)
    measure("binding", dialog)
    drv.wait_gone(dialog, 10000)
    page = open_preferences(agents, 4)
    assert until(lambda: [r for r in items(drv, page, ids.IDC_NOT_PRESENT_LIST) if r[1] != str(ids.WaitingImage)], 10)
    measure("preferences-movements", MAIN_WINDOW)
    close_preferences(drv)
    agents.choose(ord("A"))
    measure("about", ABOUT)
    drv.press(ABOUT, ids.IDOK)
    drv.wait_gone(ABOUT)
    open_statistics(agents)
    until(lambda: drv.text(STATS, ids.IDC_STATS_OVERALL_SENT), 10)
    measure("statistics", STATS)
    drv("wait-enabled", STATS, ids.IDC_STATS_CLEAR_OVERALL, "on", timeout=8000)
    drv.press(STATS, ids.IDC_STATS_CLEAR_OVERALL)
    measure("clear-statistics", CLEAR)
    drv.press(CLEAR, ids.IDCANCEL)
    drv.wait_gone(CLEAR)
    # A new monitor opens at 200 x 128 at any dpi; its texts are painted, so the
    # render check draws them through the same code, the default window and a wider one.
    open_monitor(agents, 0, LAN)
    monitor = Diagram(prefix, drv, LAN)
    assert (monitor.right - monitor.left, monitor.bottom - monitor.top) == (200, 128)
    monitor.expect(lambda n: n >= 2, "no bars in the monitor")
    code, text = render(prefix)
    if text.count(f"texts: fit at {DPI} dpi") != 2:
        problems.append(f"monitor: {re.findall('.*(?:needs|FAILED|dpi).*', text)[:3]}")
    d.agent.unload()
    assert not problems, f"at {DPI} dpi: " + "; ".join(problems)
