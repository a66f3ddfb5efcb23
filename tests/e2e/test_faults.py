"""Faults of the service: the agent keeps answering, says what it should and recovers."""
import pytest

import ids
from conftest import STATS_WINDOW as W, TITLE, open_statistics, until
from wine import AGENT_KEY, winpath
from test_mapping import expect_quiet, expect_rise, settled_count
from test_statistics import LAN, clear, expect, idc, start


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
# interface, and an installation folder of bytes is no folder.
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
"ZorvanHAgentStartupFolder"=hex:{utf16("C:/zorvanh-startup/")}"""


@pytest.fixture
def wrong_values(prefix):
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
