"""What can go wrong on the service's side: the agent keeps answering, says
what it should and shows the service's state again once the fault is gone."""
import re

import pytest

import ids

from conftest import STATS_WINDOW as W, TITLE, open_statistics, until
from test_registry import FLAGS
from wine import AGENT_KEY, winpath
from test_mapping import expect_quiet, expect_rise, settled_count
from test_statistics import LAN, SENT, clear, expect, idc, overall_frozen, start


def storm(sim, drv, code, event, *fault):
    """The fault stays until cleared; the event makes the window ask again under it.
    The window's own thread goes on answering whatever its worker waits for."""
    base = sim.count(code)
    sim("fault", *fault, f"code={code}")
    if event:
        sim("signal", event)
    sim.wait_count(code, base + 2, 8)
    drv.send(W, 0, timeout=3000)


def test_fault_statistics_busy(sim, agents, drv):
    agent = start(sim, agents)
    expect(drv, OVERALL_SENT=SENT, CONNECTION_COMBO="Dial-in")
    overall_frozen(sim, drv, "busy", "block=yes")
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
    agent = start(sim, agents)
    expect(drv, CONNECTION_COMBO="Dial-in")
    overall_frozen(sim, drv, "status", "status=0xC0FE0001")
    # Every byte 0xFF: 64-bit sums that wrap, dates past any calendar.
    storm(sim, drv, 2, None, "fill")
    expect(drv, OVERALL_SENT="18,446,744,073,709,551,613 / 18,446,744,073,709,551,615")
    sim("clear-fault", "all")
    expect(drv, OVERALL_SENT="1,000 / 3,100,000", CREATED=r"~[A-Z][a-z]+day, March 0[34], 2023 .*")
    # A cut connection list; group and connection sizes of 0xFFFFFFFF past
    # the reply's end; interface records of every size, and a list too short
    # to hold a count.
    for code, event, fault, shown in ((4, "status", "truncate bytes=12", dict(CONNECTION_COMBO="No connection was found.")),
                                      (4, "status", "fill from=13", {}), (1, "conf", "fill from=8", {}),
                                      (1, "conf", "truncate bytes=7", dict(INTERFACE_COMBO="Bad version of ZorvanHService!"))):
        storm(sim, drv, code, event, *fault.split())
        expect(drv, **shown)
        sim("clear-fault", "all")
        sim("signal", event)
        expect(drv, INTERFACE_COMBO=LAN, CONNECTION_COMBO="Dial-in", OVERALL_SENT="1,000 / 3,100,000",
               AVERAGE_SPEED="Will be removed in 42 sec...")
    agent.expect_responsive()
    agent.unload()
    sim.ledger_clean(10)


def crossing(drv, name, floor, limit):
    """The count is seen from floor up to the limit and then past it, always well formed; the last text."""
    seen = []

    def crossed():
        seen.append(drv.text(W, idc(name)))
        assert re.fullmatch(r"\d{1,3}(,\d{3})* / \d{1,3}(,\d{3})*", seen[-1]), f"{name} shows {seen[-1]}"
        values = [int(t.split(" / ")[0].replace(",", "")) for t in seen]
        return values[-1] >= limit and any(floor <= v < limit for v in values)
    assert until(crossed, 60), f"{name} did not go from {floor} past {limit}: {seen[-3:]}"
    return seen[-1]


def test_fault_counters_wrap(sim, agents, drv):
    """1000 bytes and one packet a second take the counters past 2^32 and
    2^63 a few seconds after they are set."""
    agent = start(sim, agents)
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


STARTUP = "C:\\zorvanh-startup\\"
INSTALL = r"HKLM\Software\Merovax\ZorvanHMonitor"
WRONG = rf"""[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\General]
"SetDisableStateZorvanHAgent"=hex(4):01
"ShowMonitorWindows"=dword:00000001
"ShowStatisticsWindow"="1"
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\StatisticWindow]
"ShowWindowOnTop"=hex:01,01
"HideMSInTime"=dword:00000000
"DontConsiderHardwareHeaders"=hex:02
"AverageSpeedInBytesPerSecond"="1"
"SpeedInBytesPerSecond"=hex(4):01
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\Monitors\0000]
"Name"="{{4D36E972-E325-11CE-BFC1-08002BE10318}}"
"HideWindowTitle"=dword:00000001
"ShowWindowOnTop"=hex:01,00
"PopupWhenConnected"=hex(4):01,00
"EnableVerticalLines"="1"
"TransparentLevel"=hex:32,00,00,00
"RefreshRate"="500"
"Colors"=hex:{",".join(["11"] * 87)}
"SizePositionWindow"=hex(4):01,00,00,00,10,00,00,00,10,00,00,00,10,01,00,00,10,01,00,00
[HKEY_LOCAL_MACHINE\Software\Merovax\ZorvanHAgent\Monitors\0001]
"Name"=hex:{utf16("{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}")}
[{INSTALL.replace("HKLM", "HKEY_LOCAL_MACHINE")}]
"ZorvanHAgentDir"=dword:00000001
"ZorvanHAgentStartupFolder"=hex:{utf16(STARTUP)}"""


def values(prefix, key):
    rows = (re.split(r"\s{4}", line.strip()) for line in prefix.reg("query", key).splitlines())
    return {r[0]: " ".join(r[1:]) for r in rows if len(r) > 2}


@pytest.fixture
def wrong_values(prefix):
    """Every value the agent reads, stored with a wrong type or size. Each reads
    as its default (a monitor flag as off) and is written back in its own form.
    A one-byte REG_BINARY flag other than 0 or 1 means on and is kept as it is.
    A monitor's values are read over their fields by size whatever their type."""
    prefix.reg_import(WRONG)
    assert values(prefix, INSTALL)["ZorvanHAgentStartupFolder"].startswith("REG_BINARY"), "the import stored other types"
    yield
    prefix.reg("delete", INSTALL, "/f")  # the harness resets only the agent's own key


def test_fault_registry_types(wrong_values, sim, agents, drv, prefix):
    sim.start("default.scn")
    # A one-byte value of another type is no flag: the agent starts enabled.
    agents.start_on_tray()
    lan = AGENT_KEY + r"\Monitors\0000"
    assert until(lambda: values(prefix, lan).get("SizePositionWindow") ==
                 "REG_BINARY 0100000010000000100000001001000010010000", 20), values(prefix, lan)
    for key, want in ((r"\General", dict(SetDisableStateZorvanHAgent="00", ShowMonitorWindows="00", ShowStatisticsWindow="00")),
                      (r"\StatisticWindow", dict(ShowWindowOnTop="00", HideMSInTime="01", DontConsiderHardwareHeaders="02",
                                                 AverageSpeedInBytesPerSecond="00", SpeedInBytesPerSecond="00")),
                      (r"\Monitors\0000", dict.fromkeys(FLAGS, "00"))):
        got = values(prefix, AGENT_KEY + key)
        assert {n: got.get(n) for n in want} == {n: "REG_BINARY " + d for n, d in want.items()}, key
    got = values(prefix, lan)
    assert (got["TransparentLevel"], got["RefreshRate"]) == ("REG_DWORD 0x32", "REG_DWORD 0x3e8")
    assert re.fullmatch("REG_BINARY [0-9A-F]{176}", got["Colors"])
    # A key whose name is no string belongs to no interface, and none is added.
    assert values(prefix, AGENT_KEY + r"\Monitors\0001")["Name"].startswith("REG_BINARY")
    assert len(prefix.reg_subkeys(AGENT_KEY + r"\Monitors")) == 2
    # The installation folder falls back to the program's own.
    agents.choose(ord("H"))
    text = drv.msgbox(TITLE).get("text", "")
    assert text.lower() == rf"Help File: {winpath(prefix.bin)}\ZorvanHMonitorManual.chm, was not found or corrupted!".lower()
    drv.press(TITLE, ids.IDOK, msgbox=True)
    open_statistics(agents)
    expect(drv, GROUP="Statistics * without hardware headers *")
