"""Faults of the service: the agent keeps answering, says what it should and recovers."""
import pathlib

import pytest

import ids
from conftest import (STATS_WINDOW as W, TITLE, TWO_MONITORS, WLAN, WLAN_ID, await_monitor, hold, open_monitor,
                      open_preferences, open_statistics, place_monitor, scenario, until, window_states)
from wine import AGENT_KEY, winpath
from test_data_files import DONE, SPEED, DataFiles
from test_interfaces import BINDING, USB, Page as Interfaces, listed
from test_mapping import expect_quiet, expect_rise, settled_count
from test_preferences import ASKING, DELETING, FAST, HOLD, SERVICE_CONTROLS, prefs, start as general
from test_statistics import LAN, clear, expect, idc, start

ERROR, STOPPED, AFTER = "ZorvanHService return error!", "ZorvanHService is not started!", "D:\\After\\"
DOCK = "Docking Station Ethernet"


def storm(sim, drv, code, event, *fault, n=2):
    """The fault stays until cleared; the event makes the window ask again under it,
    until n requests had it. The window's own thread goes on answering whatever
    its worker waits for."""
    base = sim.count(code)
    sim("fault", *fault, f"code={code}")
    if event:
        sim("signal", event)
    sim.wait_count(code, base + n, 8)
    drv.send(W, 0, timeout=3000)


def overall_frozen(sim, drv, tx, *fault):
    """Request 2 is asked once a second and never repeated: under the fault the
    sent bytes keep their text while the service counts on, then follow it."""
    before = until(lambda: drv.text(W, idc("OVERALL_SENT")), 8)
    sim("fault", *fault, "code=2")
    sim("set-interface", "lan", f"tx-bytes={tx}")
    sim.wait_count(2, sim.count(2) + 2)
    assert drv.text(W, idc("OVERALL_SENT")) == before, fault
    sim("clear-fault", "all")
    expect(drv, OVERALL_SENT=f"{tx:,} / 3,100,000")


def test_fault_statistics_busy(sim, agents, drv):
    agent = start(sim, agents)
    overall_frozen(sim, drv, 1000, "busy", "block=yes")
    # The connection list is asked again while busy.
    storm(sim, drv, 4, "status", "busy", "block=yes")
    sim("clear-fault", "all")
    expect(drv, CONNECTION_COMBO="Dial-in", AVERAGE_SPEED="Will be removed in 42 sec...")
    # Request 3 is not repeated either: the clear is lost, the next one does it.
    sim("fault", "busy", "code=3", "times=1")
    clear(drv, "CLEAR_OVERALL")
    sim.wait_count(3, 1)
    sim.wait_count(2, sim.count(2) + 2)
    assert drv.text(W, idc("OVERALL_SENT")) == "1,000 / 3,100,000", "a busy clear cleared"
    clear(drv, "CLEAR_OVERALL")
    expect(drv, OVERALL_SENT="0 / 0")
    # The interface list too; the agent is unloaded in the middle of it.
    storm(sim, drv, 1, "conf", "busy", "block=yes")
    agent.expect_responsive()
    agent.unload()
    sim("clear-fault", "all")
    sim.ledger_clean(10)


def test_fault_statistics_broken(sim, agents, drv):
    """Error statuses and damaged replies, each shown where the user looks,
    until the service's next change after the fault is gone."""
    agent = start(sim, agents, "fault not-started code=1")
    expect(drv, INTERFACE_COMBO="ZorvanHService is not started!", CREATED="~")
    sim("clear-fault", "all")
    sim("signal", "conf")
    overall_frozen(sim, drv, 1000, "status", "status=0xC0FE0001")
    overall_frozen(sim, drv, 2000, "truncate", "bytes=215")
    # Every byte 0xFF: 64-bit sums that wrap, dates past any calendar.
    storm(sim, drv, 2, None, "fill")
    expect(drv, OVERALL_SENT="18,446,744,073,709,551,613 / 18,446,744,073,709,551,615")
    sim("clear-fault", "all")
    expect(drv, OVERALL_SENT="2,000 / 3,100,000", CREATED=r"~[A-Z][a-z]+day, March 0[34], 2023 .*")
    # Cut lists, sizes of 0xFFFFFFFF past the reply's end, records of every
    # size, and an interface list too short to hold a count.
    i, c, none = "INTERFACE_COMBO", "CONNECTION_COMBO", "No connection was found."
    for code, event, fault, shown in ((4, "status", "truncate bytes=12", {c: none}), (4, "conf", "status", {c: none}),
                                      (4, "status", "fill from=13", {}), (1, "conf", "fill from=8", {}),
                                      (1, "conf", "truncate bytes=7", {i: "Bad version of ZorvanHService!"}),
                                      (1, "conf", "wrong-version", {i: "Bad version of ZorvanHService!"}),
                                      (1, "conf", "status status=0xC0FE0005", {i: "ZorvanHService return error!"}),
                                      (1, "conf", "truncate bytes=32", {i: "Bound adapters were not found!"})):
        storm(sim, drv, code, event, *fault.split(), n=2 - bool(shown))  # a text shows the first
        expect(drv, **shown)
        sim("clear-fault", "all")
        sim("signal", event)
        expect(drv, INTERFACE_COMBO=LAN, CONNECTION_COMBO="Dial-in")
    agent.expect_responsive()
    agent.unload()
    sim.ledger_clean(10)


def crossing(drv, name, floor, limit):
    """The count is seen from floor up to the limit, then past it; the text."""
    def count():
        return int(drv.text(W, idc(name)).split(" / ")[0].replace(",", ""))
    assert until(lambda: floor <= count() < limit, 8) and until(lambda: count() >= limit, 60), \
        f"{name} did not go from {floor} past {limit}: {drv.text(W, idc(name))}"
    return drv.text(W, idc(name))


def test_fault_counters_wrap(sim, agents, drv):
    """1000 bytes and one packet a second take the counters past 2^32 and
    2^63 a few seconds after they are set."""
    agent = start(sim, agents)
    expect(drv, OVERALL_SENT="4,311,744,512 / 3,100,000")  # the first read is in
    t = int(sim("time"))
    sim("set-interface", "lan", "rx-bytes=4294962296", "rx-rate=8000", "tx-bytes=9223372036854767808", "tx-rate=8000",
        "tx-packets=9223372036854775804")
    sim("overall", "lan", f"summary={922337203685 - t - 4}")
    crossing(drv, "OVERALL_RECEIVED", 4294962296, 2**32)
    sent = crossing(drv, "OVERALL_SENT", 9223372036854767808, 2**63)
    assert int(sent.split(" / ")[1].replace(",", "")) >= 2**63, "sent packets not past 2^63"
    # 2^63 ticks are 10675199 days, 02:48:05.4775808.
    expect(drv, OVERALL_SUMMARY=r"~10675199 day\(s\), 02:48:(0[6-9]|[1-5]\d)")
    agent.unload()
    sim.ledger_clean(5)


def test_fault_mapping_short(sim, agents):
    """A statistics entry that announces more than the mapping holds, or less
    than its header claims: no publication, or one whose walk stays inside."""
    sim.start("mapping.scn", "mapping view-size 1000000")
    agent = agents.start()
    sim.wait_count(1, 1)
    base = settled_count(sim)
    expect_quiet(sim, 1.5, "the entry announced more than the mapping", base)
    # Room for one record, and a count of four billion.
    sim("mapping", "count", "0xFFFFFFFF")
    sim("mapping", "view-size", "1100")
    expect_rise(sim, base + 1, "publication of the short view")
    sim("signal", "status")
    expect_rise(sim, base + 2, "refresh over the short view")
    agent.expect_responsive()
    sim("mapping", "real")
    expect_rise(sim, base + 3, "republication of the whole view")
    agent.unload()
    sim.ledger_clean(base + 3)


def utf16(text):
    """A string's bytes as a .reg hex list, as if it were REG_SZ."""
    return ",".join(f"{b:02x}" for b in (text + "\0").encode("utf-16-le"))


# Values of the wrong type or size (the store's own tests take each rule
# apart): a one-byte DWORD is no flag, a binary 02 is on, a monitor's
# rectangle is read by size whatever its type, a binary "Name" names no
# interface, and an installation folder of bytes is no folder: the shortcut
# goes to the user's own start-up folder.
STARTUP = "C:\\zorvanh-startup\\"
INSTALL = r"HKLM\Software\Merovax\ZorvanHMonitor"
WRONG = rf"""[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\General]
"SetDisableStateZorvanHAgent"=hex(4):01
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\StatisticWindow]
"DontConsiderHardwareHeaders"=hex:02
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\Monitors\0000]
"Name"="{{4D36E972-E325-11CE-BFC1-08002BE10318}}"
"SizePositionWindow"=hex(4):01,00,00,00,10,00,00,00,10,00,00,00,10,01,00,00,10,01,00,00
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\Monitors\0001]
"Name"=hex:{utf16("{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}")}
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHMonitor]
"ZorvanHAgentDir"=dword:00000001
"ZorvanHAgentStartupFolder"=hex:{utf16(STARTUP)}"""


@pytest.fixture
def wrong_values(prefix):
    (pathlib.Path(prefix.env["WINEPREFIX"]) / "drive_c/zorvanh-startup").mkdir(exist_ok=True)
    prefix.reg_import(WRONG)
    yield
    prefix.reg("delete", INSTALL, "/f")  # the harness resets only the agent's own key


def test_fault_registry_types(wrong_values, sim, agents, drv, prefix):
    sim.start("default.scn")
    agents.start_on_tray()  # enabled
    # The first refresh completes the lan's key and adds none.
    monitors, rect = AGENT_KEY + r"\Monitors", "REG_BINARY 01000000" + "10000000" * 2 + "10010000" * 2
    assert until(lambda: prefix.reg_value(monitors + r"\0000", "SizePositionWindow") == rect, 20)
    assert prefix.reg_value(monitors + r"\0001", "Name").startswith("REG_BINARY")
    assert len(prefix.reg_subkeys(monitors)) == 2
    # The installation folder falls back to the program's own.
    agents.choose(ord("H"))
    text = drv.msgbox(TITLE).get("text", "").lower()
    assert text == rf"help file: {winpath(prefix.bin)}\zorvanhmonitormanual.chm, was not found or corrupted!".lower()
    drv.press(TITLE, ids.IDOK, msgbox=True)
    open_statistics(agents)
    expect(drv, GROUP="Statistics * without hardware headers *")
    page = open_preferences(agents, 1)
    drive = pathlib.Path(prefix.env["WINEPREFIX"]) / "drive_c"
    drv.press(page, ids.IDC_ENABLE_START, click=True)
    links = [*(drive / "users").rglob("ZorvanHAgent.lnk"), *(drive / "zorvanh-startup").iterdir()]
    assert [p.parent.name.lower() for p in links] == ["startup"], f"shortcuts: {links}"
    drv.press(page, ids.IDC_ENABLE_START, click=True)
    assert not links[0].exists(), f"unchecking left {links[0]}"


def test_fault_restart_under_windows(sim, agents, drv, prefix):
    """The service stops under a monitor, the statistics window and a bind, and comes back."""
    unbound = (f'add-interface {k} name="{n}" flags=supported,connected\n' for k, n in (("usb", USB), ("dock", DOCK)))
    sim.start(scenario(prefix, TWO_MONITORS + "".join(unbound)), "request-delay 5 2000")
    agent = agents.start_on_tray()
    open_monitor(agents, 0, LAN)
    open_statistics(agents)
    page = Interfaces(sim, agents, scenario=None)
    drv.press(page.hwnd, ids.IDC_BIND_ALL)
    dialog = page.progress(BINDING)
    sim("stop-service")  # the first bind is on its way; the second finds the service gone
    page.box(BINDING, STOPPED, ids.IDOK, dialog)
    expect(drv, INTERFACE_COMBO=STOPPED)
    assert window_states(drv, LAN) == ["visible"], "the monitor went with the service"
    # The watchers hold the service's events across the restart.
    sim("start-service")
    sim("signal", "conf")
    expect(drv, INTERFACE_COMBO=LAN)
    assert until(lambda: USB in str(page.lines()), 10), f"the page did not list again: {page.lines()}"
    page.wait_list()
    assert (len(page.binds()), sim.count(5)) == (1, 2), f"binds {page.binds()} of {sim.count(5)} requests"
    assert window_states(drv, LAN) == ["visible"], "the monitor did not stay"
    agent.expect_responsive()
    sim.ledger_clean(3)
    agent.unload()


def test_fault_interfaces_churn(sim, agents, drv, prefix):
    """An adapter comes and goes: its monitor, set to pop up, and the statistics
    window follow; a burst of changes ends in the service's state."""
    sim.start(scenario(prefix, TWO_MONITORS))
    place_monitor(prefix, "0001", WLAN_ID, (300, 200, 500, 328), "PopupWhenConnected")
    agent = agents.start_on_tray()
    open_monitor(agents, 1, WLAN)
    open_statistics(agents)
    count = lambda: int(drv.send(drv.control(W, idc("INTERFACE_COMBO")), ids.CB_GETCOUNT), 16)
    add = ("add-interface", "wlan", f"name={WLAN}", f"id={WLAN_ID}", "flags=supported,connected,bound,binding-active",
           "rx-rate=900000", "tx-rate=150000")
    gone = ("remove-interface", "wlan")

    def step(words, state, n):
        sim(*words)
        await_monitor(sim, drv, WLAN, state)
        assert until(lambda: count() == n, 10), f"the statistics window lists {count()} interfaces, not {n}"

    for _ in (1, 2):
        step(gone, "hidden", 1)
        step(add, "visible", 2)
    for words in (gone, add) * 4:  # a burst, a few tenths of a second apart
        sim(*words)
        hold(0.3, "the next change of the burst")
    step(gone, "hidden", 1)
    agent.expect_responsive()
    sim.ledger_clean(10)
    agent.unload()


def test_fault_general_replies(sim, agents, drv):
    """Busy answers repeated until the service answers; errors and damaged
    replies in the folder box with the service's controls off; a failed
    request 14 snaps the slider back."""
    agent, page = general(sim, agents, "default.scn", "data-settings folder=D:\\Counted\\ hold=30")
    page.text(ids.IDC_DATA_FOLDER, "D:\\Counted\\")

    def refresh(text):
        drv.send(page, ids.WM_AGENT_REFRESH, timeout=10000)
        page.text(ids.IDC_DATA_FOLDER, text)

    base = sim.count(9)
    sim("fault", "busy", "code=9", "block=yes", "times=25")
    sim("data-settings", f"folder={AFTER}")
    refresh(AFTER)
    assert sim.count(9) >= base + 26, f"request 9 sent {sim.count(9) - base} times"
    # A service that stays busy is given up on; a path size of 4 GB, a path without its NUL.
    for fault, text in (("status status=0xC0FE0005", ERROR), ("wrong-version", "Bad version of ZorvanHService!"),
                        ("busy", ERROR), ("fill times=1", None), ("fill from=9 times=1", None)):
        sim("fault", *fault.split(), "code=9")
        drv.send(page, ids.WM_AGENT_REFRESH, timeout=10000)
        if text:
            page.text(ids.IDC_DATA_FOLDER, text)
            page.enabled(False, *SERVICE_CONTROLS)
        agent.expect_responsive()
        sim("clear-fault", "all")
        refresh(AFTER)
        page.enabled(True, *SERVICE_CONTROLS)
    slider = page.control(ids.IDC_HOLD_SLIDER)
    for fault, pos in (("busy block=yes times=25", 50), ("status status=0xC0FE0001 times=1", 70)):
        sim("fault", *fault.split(), "code=14")
        before = sim.count(9)
        drv.send(slider, ids.TBM_SETPOS, 1, pos)
        drv.send(page, ids.WM_HSCROLL, ids.TB_ENDTRACK, slider[5:], timeout=10000)
        sim.wait_count(9, before + 1)
        assert sim("disconnected-requests") == "50,0" and sim.count(14) >= 26, \
            f"request 14 sent {sim.count(14)} times, received {sim('disconnected-requests')!r}"
    page.text(ids.IDC_HOLD_LABEL, HOLD + "50 Sec")
    drv.wait_gone("ZorvanH Agent is synchronizing...", 3000)
    agent.expect_responsive()
    sim.ledger_clean(30)
    agent.unload()


def test_fault_bind_delete_busy(sim, agents, drv):
    """A busy service fails a bind and a delete, neither repeated; both work once it answers."""
    page = Interfaces(sim, agents, "fault busy code=5 block=yes", "fault busy code=10 block=yes")
    drv.press(page.hwnd, ids.IDC_BIND_ALL)
    page.box(BINDING, "Error occured during the operation. Do you want to continue?", ids.IDNO, page.progress(BINDING))
    page.wait_list()
    page.expect(*listed(2, 3))
    moves = prefs(agents, 4)
    for fails in (True, False):
        moves.expect(FAST)
        moves.enabled(True, ids.IDC_DELETE_NOT_PRESENT)
        lists = sim.count(1)
        drv.press(moves, ids.IDC_DELETE_NOT_PRESENT)
        page.box(ASKING, drv.msgbox(ASKING)["text"], ids.IDYES)
        if fails:
            page.box(DELETING, "Error occured during the operation.", ids.IDOK)
            sim.wait_count(1, lists + 1)
            sim("clear-fault", "all")
    # The deletion's dialog may come and go between two looks: its end is what stays.
    moves.expect(f'{ids.InformationImage}:"Not Present" network interfaces were not found')
    assert [sim.count(5), sim.count(10)] == [1, 2], "a busy request was repeated"
    sim.ledger_clean(3)
    page.agent.unload()


def test_fault_data_files(sim, agents, drv, prefix):
    """Busy or failing operations fail; busy and damaged progress replies leave
    the bar alone; a restore whose reply cannot hold its snapshot leaves the registry."""
    d = DataFiles(sim, agents)
    op = {"backup": (ids.IDC_DF_BACKUP,), "move": (), "restore": (ids.IDC_DF_RESTORE,)}
    # Faults, then operations (+: it completes), the requests' counts, the speed unit after.
    for faults, steps, counts, speed in (
            ("busy code=12 block=yes times=1,status code=8 status=0xC0FE0001 times=1", "backup move", {12: 1, 8: 1}, 0),
            ("busy code=11 block=yes times=2,fill code=11", "backup+", {11: 3}, 0),  # 11: polled at least so often
            ("busy code=8 times=1,busy code=13 times=1", "move restore", {8: 2, 13: 1}, 0),  # never asked again
            ("status code=11 status=0xC0FE0001", "backup+", {}, 0),
            ("speed,status code=13 status=0xC0FE0001 times=1", "restore", {}, 1),
            ("truncate code=13 bytes=14 times=1", "restore+", {}, 1), ("", "restore+", {}, 0)):
        sim("clear-fault", "all")
        for fault in filter(None, faults.split(",")):
            drv.press(d.page, ids.IDC_SPEED_IN_BYTES, click=True) if fault == "speed" else sim("fault", *fault.split())
        for step in steps.split():
            d.choose(*op[step.rstrip("+")])
            d.box(DONE if step.endswith("+") else ERROR + "\nOperation status: Failure.")
        for code, n in counts.items():
            got = sim.count(code)
            assert got == n or code == 11 and got > n, f"request {code} sent {got} times"
        assert prefix.reg_value(*SPEED) == f"REG_BINARY 0{speed}", f"speed unit after {faults} and {steps}"
    sim.ledger_clean(5)
    d.agent.unload()
