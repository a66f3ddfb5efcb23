# The preferences window on the tray desktop: its page tree, pages made once
# and kept, the General page's options and the Movements page's deletions.
import pathlib

import pytest

import ids
from conftest import Page, child, children, close_preferences, open_preferences, until
from wine import AGENT_KEY

GENERAL, STATWIN, MONITORS = (AGENT_KEY + "\\" + k for k in ("General", "StatisticWindow", "Monitors"))
HOLD = "How long to hold the statistics for disconnected connection(s): "
DELETING, ASKING = "ZorvanH Agent is deleting...", 'ZorvanHAgent delete "Not Present" interface'
FAST, MODEM = "6:Fast Ethernet 10/100 PCI Adapter", "6:Old Dial-up Modem"
SERVICE_CONTROLS = (ids.IDC_DATA_BROWSE, ids.IDC_CUMULATIVE, ids.IDC_HOLD_LABEL, ids.IDC_HOLD_SLIDER)


def start(sim, agents, *scenario):
    # The General page is made, hidden, at start-up: the one page so far.
    sim.start(*scenario)
    agent = agents.start_on_tray()
    pages = [c for c in children(agents.drv) if c["cls"] == "#32770"]
    assert [c["state"] for c in pages] == ["hidden"]
    return agent, Page(agents.drv, "hwnd:" + pages[0]["hwnd"])


def prefs(agents, n=None):
    lists = {2: ids.IDC_MON_INTERFACES, 3: ids.IDC_INTERFACE_LIST, 4: ids.IDC_NOT_PRESENT_LIST}
    return Page(agents.drv, open_preferences(agents, n), lists.get(n))


def flag(prefix, key, value, name):
    assert until(lambda: prefix.reg_value(key, name) == "REG_BINARY " + value, 3), (name, prefix.reg_value(key, name))


def set_flag(prefix, name, data):
    prefix.reg("add", GENERAL, "/v", name, "/t", "REG_BINARY", "/d", data, "/f", check=True)


def test_preferences_pages(sim, agents, drv, prefix):
    # A page selected again is the one made before ("Interface(s)" lists again);
    # the page on show stays so while the window is hidden: the configuration
    # watcher lists it again there, and showing the window lists the Interface(s)
    # and Movements pages again for what came without a configuration event.
    agent, _ = start(sim, agents, "interfaces.scn")
    page = prefs(agents, 3)
    page.listed()
    before = open_preferences(agents, 1) and sim.count(1)
    open_preferences(agents, 3)
    sim.wait_count(1, before + 1, 5)
    for n in (2, 4, 3, 1, 3):
        open_preferences(agents, n)
        open_preferences(agents, n)
    assert len([c for c in children(drv) if c["cls"] == "#32770"]) == 4
    page.listed()
    close_preferences(drv)
    sim("set-interface", "usb", "bound=1", "binding-active=1")
    # A bind while hidden, then a status change only.
    page.expect("5:USB Ethernet Adapter")
    sim("set-interface", "usb", "connected=1")
    open_preferences(agents)
    page.expect("4:USB Ethernet Adapter")
    prefs(agents, 4).expect(FAST)
    sim.ledger_clean(2)
    agent.unload()


def test_general_page(sim, agents, drv, prefix, drive_c):
    # A hold past the slider's range puts it at its end; the statistics window
    # opens when the page is made, as the stored flag asks.
    set_flag(prefix, "ShowStatisticsWindow", "01")
    link = drive_c / "zorvanh-startup" / "ZorvanHAgent.lnk"
    link.parent.mkdir(exist_ok=True)
    prefix.reg("add", r"HKLM\Software\Merovax\ZorvanHMonitor", "/v", "ZorvanHAgentStartupFolder", "/d",
               "C:\\zorvanh-startup\\", "/f", check=True)
    agent, page = start(sim, agents, "default.scn", "data-settings folder=D:\\Counted\\ hold=250 cumulative=0")
    drv.wait_window("ZorvanHAgent Interface Statistics", timeout=8000)
    assert page.checked(ids.IDC_HIDE_MS), '"Do not show milliseconds" is not checked'
    page.text(ids.IDC_DATA_FOLDER, "D:\\Counted\\")
    page.text(ids.IDC_HOLD_LABEL, HOLD + "Infinite")
    page.enabled(True, *SERVICE_CONTROLS)
    slider = child(drv, page, ids.IDC_HOLD_SLIDER)
    assert drv.send(slider, ids.TBM_GETPOS) == "0x64"
    sent = lambda: sim("disconnected-requests")
    # Dragging moves the label only; a release sends what differs from the service's.
    for pos, track, want in ((12, ids.TB_THUMBTRACK, ""), (100, ids.TB_ENDTRACK, "100,0"),
                             (40, ids.TB_ENDTRACK, "100,0 40,0"), (40, ids.TB_ENDTRACK, "100,0 40,0")):
        before, prior = sim.count(9), sent()
        drv.send(slider, ids.TBM_SETPOS, 1, pos)
        drv.send(page, ids.WM_HSCROLL, track, slider[5:], timeout=10000)
        if pos < 100:
            page.text(ids.IDC_HOLD_LABEL, f"{HOLD}{pos} Sec")
        # The page re-reads the service, or the next release compares with stale values.
        if want != prior:
            sim.wait_count(9, before + 1)
        assert sent() == want
    page.click(ids.IDC_CUMULATIVE)
    sim.wait_count(14, 3)
    assert (sent(), sim.count(14)) == ("100,0 40,0 40,1", 3)
    drv.wait_gone("ZorvanH Agent is synchronizing...", timeout=3000)
    # Each click is in the registry at once; there is no Apply.
    for id, key, value, name in ((ids.IDC_START_DISABLED, GENERAL, "01", "SetDisableStateZorvanHAgent"),
                                 (ids.IDC_START_MONITORS, GENERAL, "01", "ShowMonitorWindows"),
                                 (ids.IDC_START_MONITORS, GENERAL, "00", "ShowMonitorWindows"),
                                 (ids.IDC_HIDE_MS, STATWIN, "00", "HideMSInTime")):
        page.click(id)
        flag(prefix, key, value, name)
    # An existing shortcut is kept as it is.
    for put, want, on in ((b"kept", b"kept", "01"), (None, None, "00"), (None, b"L\0\0\0", "01")):
        if put:
            link.write_bytes(put)
        page.click(ids.IDC_ENABLE_START)
        assert (link.read_bytes()[:4] if link.exists() else None) == want
        flag(prefix, GENERAL, on, "EnableStartZorvanHAgent")
    assert sim.count(14) == 3
    # A reload takes what another program wrote, as does the configuration
    # event while the page is on show, hidden window or not.
    set_flag(prefix, "ShowMonitorWindows", "01")
    assert drv.send(page, ids.WM_AGENT_RELOAD_PAGE) == "0x1" and page.checked(ids.IDC_START_MONITORS)
    sim("data-settings", "folder=D:\\After\\", "hold=45")
    set_flag(prefix, "ShowMonitorWindows", "00")
    sim("signal", "conf")
    page.text(ids.IDC_DATA_FOLDER, "D:\\After\\")
    page.text(ids.IDC_HOLD_LABEL, HOLD + "45 Sec")
    assert until(lambda: not page.checked(ids.IDC_START_MONITORS), 10), "the page on show, hidden, did not reload"
    open_preferences(agents)
    prefix.shot("general-page")
    sim.ledger_clean(1)
    agent.unload()


@pytest.fixture
def drive_c(prefix):
    yield pathlib.Path(prefix.env["WINEPREFIX"]) / "drive_c"
    prefix.reg("delete", r"HKLM\Software\Merovax\ZorvanHMonitor", "/f")


def test_movements(sim, agents, drv, prefix):
    # Only the interfaces the service keeps although they are gone; a deletion
    # takes the monitor settings kept for that one, and nothing when it fails.
    sim.start("movements.scn", "request-delay 10 800", "fault busy code=10 block=yes times=1")
    prefix.reg_import("".join(f'[{MONITORS.replace("HKLM", "HKEY_LOCAL_MACHINE")}\\{key}]\n"Name"="{name}"\n'
                              for key, name in (("0000", "LAN-PRESENT-1"), ("0001", "GONE-CARD-1"))))
    agent = agents.start_on_tray()
    page = prefs(agents, 4)
    page.expect([FAST, MODEM])
    prefix.shot("movements-page")
    none = f'{ids.InformationImage}:"Not Present" network interfaces were not found'
    # The first deletion, busy, fails and is not repeated; an interface without
    # identifier is forgotten by the service only.
    for name, left, kept in ((FAST, [FAST, MODEM], ["0000", "0001"]), (FAST, [MODEM], ["0000"]),
                             (MODEM, [none], ["0000"])):
        page.enabled(True, ids.IDC_DELETE_NOT_PRESENT)
        lists = sim.count(1)
        drv.press(page, ids.IDC_DELETE_NOT_PRESENT)
        box = " ".join(drv.msgbox(ASKING)["text"].split())
        assert box == f'"Not Present" network interface: {name[2:]} will be deleted. Are you sure?', box
        drv.press(ASKING, ids.IDYES, msgbox=True)
        # The page lists again once the error is answered.
        if len(left) == 2:
            assert drv.msgbox(DELETING)["text"] == "Error occured during the operation."
            drv.press(DELETING, ids.IDOK, msgbox=True)
            sim.wait_count(1, lists + 1)
        else:
            drv.wait_window(DELETING)
            drv.wait_gone(DELETING)
        page.expect(left)
        assert [k[-4:] for k in prefix.reg_subkeys(MONITORS)] == kept, f"monitor settings after deleting {name}"
    page.enabled(False, ids.IDC_DELETE_NOT_PRESENT)
    assert sim.count(10) == 3
    sim.ledger_clean(3)
    agent.unload()
