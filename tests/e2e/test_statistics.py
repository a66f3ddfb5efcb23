# The statistics window against statistics.scn.
import re

import ids
from conftest import LAN, STATS_WINDOW as W, open_statistics, until

CLEAR = "ZorvanHAgent Clear Statistics..."
SENT, OFFICE_SENT = "4,311,744,512 / 3,100,000", "2,147,483,648 / 2,100,000"


def idc(name):
    return getattr(ids, "IDC_STATS_" + name)


def expect(drv, **fields):  # each field shows its text, or matches it when that starts with "~"
    for name, want in fields.items():
        if want[:1] != "~":
            drv.wait_text(W, idc(name), want, 8000)
        elif not until(lambda: re.fullmatch(want[1:], drv.text(W, idc(name))), 8):
            raise AssertionError(f'{name} shows "{drv.text(W, idc(name))}", not /{want[1:]}/')


def choose(drv, name, index, **fields):  # as a user picks an item; once the box is back on, the fields show
    combo = drv.control(W, idc(name))
    drv.send(combo, ids.CB_SETCURSEL, index)
    drv.send(W, ids.WM_COMMAND, ids.CBN_SELCHANGE << 16 | idc(name), int(combo[5:], 16))
    drv("wait-enabled", W, idc(name), "on", timeout=8000)
    expect(drv, **fields)


def clear(drv, button, also=False):
    drv.press(W, idc(button))
    drv.wait_window(CLEAR)
    if also:
        drv.press(CLEAR, ids.IDC_CLEAR_ALSO, click=True)
    drv.press(CLEAR, ids.IDOK)
    drv.wait_gone(CLEAR)


def asked(sim, pattern):
    return re.search(rf"(?<!\S)(?:{pattern})(?!\S)", sim("requests"))


def start(sim, agents, *commands):
    sim.start("statistics.scn", *commands)
    agent = agents.start()
    open_statistics(agents)
    return agent


def test_statistics_fields(sim, agents, drv, prefix):
    agent = start(sim, agents)
    # The options' defaults: no milliseconds, no hardware headers.
    expect(drv, INTERFACE_COMBO=LAN, GROUP="Statistics * without hardware headers *", CONNECTION_COUNT="7",
           CREATED=r"~[A-Z][a-z]+day, March 0[34], 2023 \d\d:\d5:07", OVERALL_SENT=SENT,
           CONNECTION_COMBO="Dial-in", AVERAGE_SPEED="Will be removed in 42 sec...")
    choose(drv, "CONNECTION_COMBO", 3, CONNECTION_COMBO="Office LAN", CURRENT_SUMMARY="0 day(s), 01:01:01",
           CURRENT_SENT=OFFICE_SENT, LINK_SPEED="100 Mbps", AVERAGE_SPEED="Rcv: 2.4 Mbps / Snd: 300 Kbps")
    prefix.reg_import("[HKEY_LOCAL_MACHINE\\Software\\Merovax\\ZorvanHAgent\\StatisticWindow]\n"
                      '"HideMSInTime"=hex:00\n"DontConsiderHardwareHeaders"=hex:00\n"AverageSpeedInBytesPerSecond"=hex:01')
    drv.send(W, ids.WM_AGENT_REFRESH)
    expect(drv, GROUP="Statistics ", OVERALL_SENT="4,311,745,012 / 3,100,000", CURRENT_SUMMARY="0 day(s), 01:01:01.250",
           AVERAGE_SPEED="Rcv: 300 KByps / Snd: 37.5 KByps")
    prefix.shot("statistics-window")
    choose(drv, "INTERFACE_COMBO", 1, CONNECTION_COMBO="No connection was found.", OVERALL_RECEIVED="5,000,000,000 / 12")
    drv.send(W, ids.WM_COMMAND, ids.IDOK)
    drv.wait_gone(W)
    agent.unload()
    sim.ledger_clean(10)


def test_statistics_clear(sim, agents, drv, prefix):
    agent = start(sim, agents)
    choose(drv, "CONNECTION_COMBO", 3, CURRENT_SENT=OFFICE_SENT)
    drv.press(W, idc("CLEAR_CURRENT"))
    drv.wait_window(CLEAR)
    assert drv.text(CLEAR, ids.IDC_CLEAR_TEXT) == LAN + "\nOffice LAN"
    sim("requests", "reset")
    drv.press(CLEAR, ids.IDCANCEL)
    drv.wait_gone(CLEAR)
    # A clear would come before the window's next two reads.
    sim.wait_count(2, sim.count(2) + 2)
    assert not asked(sim, "3|4:[0-9a-f]*[123c][0-9a-f]{3}"), "cancel sent a clear"
    # The connection's clear bit, then a group's; the window rebuilt on the choice.
    for index, name, sent, bits in ((3, "Office LAN", OFFICE_SENT, "4:251f"), (4, "Office", "6,000 / 6", "4:179f")):
        choose(drv, "CONNECTION_COMBO", index, CONNECTION_COMBO=name, CURRENT_SENT=sent)
        sim("requests", "reset")
        if index == 3:  # a clear the service fails stays pending for the next tick
            sim("fault", "status", "code=4", "interface=clear", "times=1")
        clear(drv, "CLEAR_CURRENT")
        expect(drv, CONNECTION_COMBO=name, CURRENT_SENT="0 / 0", OVERALL_SENT=SENT)
        assert asked(sim, bits) and "fault" not in sim("show"), f"no {bits} clear: {sim('requests')}"
    # Overall with "all current too": request 3, then 0xC000 in the same update. The fields
    # show the cleared counts from the update's first read, before its connection query.
    sim("requests", "reset")
    clear(drv, "CLEAR_OVERALL", also=True)
    expect(drv, OVERALL_RECEIVED="0 / 0", OVERALL_SENT="0 / 0")
    assert until(lambda: asked(sim, "3 4:[0-9a-f]*c[0-9a-f]{3}"), 5), f"no request 3 then a 0xC000 query: {sim('requests')}"
    prefix.shot("statistics-cleared")
    agent.unload()
    sim.ledger_clean(10)
