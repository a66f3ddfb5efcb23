# Faults of the service: the agent keeps answering, says what it should and recovers.
import ids
from conftest import (ERROR, STATS_WINDOW as W, STOPPED, TWO_MONITORS, VERSION, WLAN, WLAN_ID, answer, await_monitor,
                      hold, open_monitor, open_statistics, place_monitor, scenario, until, window_states)
from test_data_files import DONE, SPEED, DataFiles
from test_interfaces import BINDING, USB, Page as Interfaces
from test_preferences import SERVICE_CONTROLS, start as general
from test_statistics import LAN, expect, idc, start

AFTER = "D:\\After\\"


def storm(sim, drv, code, event, *fault, n=2):
    # The fault stays until cleared; the event makes the window ask again under
    # it until n requests had it. Meanwhile the window's own thread answers.
    base = sim.count(code)
    sim("fault", *fault, f"code={code}")
    if event:
        sim("signal", event)
    sim.wait_count(code, base + n, 8)
    drv.send(W, 0, timeout=3000)


def overall_frozen(sim, drv, tx, *fault):
    # Request 2 is asked once a second and never repeated: under the fault the
    # sent bytes keep their text while the service counts on, then follow it.
    before = until(lambda: drv.text(W, idc("OVERALL_SENT")), 8)
    sim("fault", *fault, "code=2")
    sim("set-interface", "lan", f"tx-bytes={tx}")
    sim.wait_count(2, sim.count(2) + 2)
    assert drv.text(W, idc("OVERALL_SENT")) == before, fault
    sim("clear-fault", "all")
    expect(drv, OVERALL_SENT=f"{tx:,} / 3,100,000")


def test_fault_statistics(sim, agents, drv):
    # Error statuses, busy and damaged replies, each shown where the user looks,
    # until the service's next change after the fault is gone.
    agent = start(sim, agents, "fault not-started code=1")
    expect(drv, INTERFACE_COMBO=STOPPED, CREATED="~")
    sim("clear-fault", "all")
    sim("signal", "conf")
    for tx, fault in ((1000, "status status=0xC0FE0001"), (3000, "busy block=yes")):
        overall_frozen(sim, drv, tx, *fault.split())
    # Every byte 0xFF: 64-bit sums that wrap, dates past any calendar.
    storm(sim, drv, 2, None, "fill")
    expect(drv, OVERALL_SENT="18,446,744,073,709,551,613 / 18,446,744,073,709,551,615")
    sim("clear-fault", "all")
    expect(drv, OVERALL_SENT="3,000 / 3,100,000", CREATED=r"~[A-Z][a-z]+day, March 0[34], 2023 .*")
    # Failing lists, an interface list too short to hold a count; busy connection lists.
    # (Damaged sizes inside the lists are the decoders' unit and fuzz cases.)
    i, c = "INTERFACE_COMBO", "CONNECTION_COMBO"
    for code, event, fault, shown in ((4, "conf", "status", {c: "No connection was found."}),
                                      (1, "conf", "wrong-version", {i: VERSION}),
                                      (1, "conf", "status status=0xC0FE0005", {i: ERROR}),
                                      (1, "conf", "truncate bytes=32", {i: "Bound adapters were not found!"}),
                                      (4, "status", "busy block=yes", {})):
        # One damaged list may leave the window nothing to ask again about; a busy one is asked again.
        storm(sim, drv, code, event, *fault.split(), n=1 + fault.startswith("busy"))
        expect(drv, **shown)
        sim("clear-fault", "all")
        sim("signal", event)
        expect(drv, INTERFACE_COMBO=LAN, CONNECTION_COMBO="Dial-in", AVERAGE_SPEED="Will be removed in 42 sec...")
    # The interface list under a busy service; the agent is unloaded in the middle of it.
    storm(sim, drv, 1, "conf", "busy", "block=yes")
    agent.expect_responsive()
    agent.unload()
    sim("clear-fault", "all")
    sim.ledger_clean(10)


def test_fault_restart_and_churn(sim, agents, drv, prefix):
    # The service stops under the monitors, the statistics window and a bind,
    # and comes back. Then an adapter comes and goes: its monitor, set to pop up,
    # and the statistics window follow; a burst of changes ends in the service's state.
    unbound = (f'add-interface {k} name="{n}" flags=supported,connected\n'
               for k, n in (("usb", USB), ("dock", "Docking Station Ethernet")))
    sim.start(scenario(prefix, TWO_MONITORS + "".join(unbound)), "request-delay 5 2000")
    place_monitor(prefix, "0001", WLAN_ID, (300, 200, 500, 328), "PopupWhenConnected")
    agent = agents.start_on_tray()
    open_monitor(agents, 0, LAN)
    open_monitor(agents, 1, WLAN)
    open_statistics(agents)
    page = Interfaces(sim, agents, scenario=None)
    drv.press(page, ids.IDC_BIND_ALL)
    dialog = page.progress(BINDING)
    # The first bind on its way (held 2 s); the second finds the service gone.
    sim.wait_count(5, 1)
    sim("stop-service")
    answer(drv, BINDING, STOPPED, ids.IDOK, dialog)
    expect(drv, INTERFACE_COMBO=STOPPED)
    shown = lambda: window_states(drv, LAN) + window_states(drv, WLAN) == ["visible"] * 2
    assert shown(), "a monitor went with the service"
    # The watchers hold the service's events across the restart, and take its start by themselves.
    sim("start-service")
    expect(drv, INTERFACE_COMBO=LAN)
    assert until(lambda: USB in str(page.lines()), 10), f"the page did not list again: {page.lines()}"
    page.listed()
    assert (len(page.binds()), sim.count(5)) == (1, 2)
    assert shown(), "a monitor did not stay"
    count = lambda: int(drv.send(drv.control(W, idc("INTERFACE_COMBO")), ids.CB_GETCOUNT), 16)
    listed = count()
    add = ("add-interface", "wlan", f"name={WLAN}", f"id={WLAN_ID}", "flags=supported,connected,bound,binding-active")
    gone = ("remove-interface", "wlan")
    # Twice each change followed; then a burst, a few tenths of a second apart; then one more followed.
    for n, words in enumerate([gone, add] * 6 + [gone]):
        sim(*words)
        if 3 < n < 12:
            hold(0.3, "the next change of the burst")
        else:
            await_monitor(sim, drv, WLAN, "visible" if words is add else "hidden")
            assert until(lambda: count() == listed - (words is gone), 10), f"the statistics window lists {count()}"
    agent.expect_responsive()
    sim.ledger_clean(10)
    agent.unload()


def test_fault_general_replies(sim, agents, drv):
    # Errors and damaged replies in the folder box with the service's controls off.
    agent, page = general(sim, agents, "default.scn", "data-settings folder=D:\\Counted\\ hold=30")
    page.text(ids.IDC_DATA_FOLDER, "D:\\Counted\\")
    sim("data-settings", f"folder={AFTER}")
    # Busy answers repeated; a service that stays busy is given up on.
    for fault, text in (("busy block=yes times=25", AFTER), ("status status=0xC0FE0005", ERROR),
                        ("wrong-version", VERSION), ("busy", ERROR),
                        ("not-started", STOPPED)):
        base = sim.count(9)
        sim("fault", *fault.split(), "code=9")
        drv.send(page, ids.WM_AGENT_REFRESH, timeout=10000)
        assert "25" not in fault or sim.count(9) >= base + 26
        page.text(ids.IDC_DATA_FOLDER, text)
        page.enabled(text == AFTER, *SERVICE_CONTROLS)
        # The service's own controls only.
        page.enabled(True, ids.IDC_ENABLE_START, ids.IDC_HIDE_MS)
        agent.expect_responsive()
        sim("clear-fault", "all")
        drv.send(page, ids.WM_AGENT_REFRESH, timeout=10000)
        page.text(ids.IDC_DATA_FOLDER, AFTER)
        page.enabled(True, *SERVICE_CONTROLS)
    agent.expect_responsive()
    sim.ledger_clean(30)
    agent.unload()


def test_fault_data_files(sim, agents, drv, prefix):
    # Busy or failing operations fail; busy and damaged progress replies leave the bar alone.
    d = DataFiles(sim, agents)
    op = {"backup": (ids.IDC_DF_BACKUP,), "move": (), "restore": (ids.IDC_DF_RESTORE,)}
    # Faults, then operations (+: it completes), the requests' counts, the speed unit after.
    # Request 11 is polled at least so often; a busy request 12 or 8 is never asked again.
    for faults, steps, counts, speed in (
            ("busy code=12 block=yes times=1,status code=8 status=0xC0FE0001 times=1", "backup move", {12: 1, 8: 1}, 0),
            ("busy code=11 block=yes times=2,fill code=11", "backup+", {11: 3}, 0),
            ("speed,status code=13 status=0xC0FE0001 times=1", "restore", {}, 1),
            ("", "restore+", {}, 0)):
        sim("clear-fault", "all")
        for fault in filter(None, faults.split(",")):
            drv.press(d.page, ids.IDC_SPEED_IN_BYTES, click=True) if fault == "speed" else sim("fault", *fault.split())
        for step in steps.split():
            d.choose(*op[step.rstrip("+")])
            d.box(DONE if step.endswith("+") else ERROR + "\nOperation status: Failure.")
        for code, n in counts.items():
            assert sim.count(code) == n or code == 11 and sim.count(code) > n
        assert prefix.reg_value(*SPEED) == f"REG_BINARY 0{speed}", f"speed unit after {faults} and {steps}"
    sim.ledger_clean(5)
    d.agent.unload()
