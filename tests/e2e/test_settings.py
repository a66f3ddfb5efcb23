"""The agent's start-up options and stored monitors in the registry."""
import re

from conftest import until
from wine import AGENT_KEY, winpath

GENERAL = AGENT_KEY + r"\General"
MONITORS = AGENT_KEY + r"\Monitors"


def expect_flag(prefix, name, data="[0-9A-F]{2}"):
    """A one-byte REG_BINARY, within 3 s."""
    value = until(lambda: re.fullmatch(f"REG_BINARY {data}", prefix.reg_value(GENERAL, name), re.I), 3)
    assert value, f'General\\{name} is "{prefix.reg_value(GENERAL, name) or "missing"}", not REG_BINARY {data}'


def test_first_start_options(sim, agents, prefix):
    sim.start("default.scn")
    agent = agents.start()
    for name in ("SetDisableStateZorvanHAgent", "ShowMonitorWindows", "ShowStatisticsWindow"):
        expect_flag(prefix, name, "00")
    prefix.shot("first-start-options")
    agent.unload()
    # What a first start leaves in the registry, for the record.
    prefix.reg("export", AGENT_KEY, winpath(prefix.artifacts / "first-start.reg"), "/y")
    # A value of the wrong type is written anew as the flag it should be.
    prefix.reg("add", GENERAL, "/v", "ShowMonitorWindows", "/t", "REG_DWORD", "/d", "0", "/f", check=True)
    agent = agents.start()
    expect_flag(prefix, "ShowMonitorWindows")
    agent.unload()


def test_refresh_completes_monitor_key(sim, agents, prefix):
    """The interface refresh loads the monitor options of every listed interface:
    a stored key is completed in place, an interface without one gets none."""
    key = MONITORS + r"\0000"
    prefix.reg_import(f'[{key.replace("HKLM", "HKEY_LOCAL_MACHINE")}]\n'
                      '"Name"="{4D36E972-E325-11CE-BFC1-08002BE10318}"\n'
                      '"HideWindowTitle"=hex:01\n"RefreshRate"=dword:00000005')
    sim.start("default.scn")
    agent = agents.start()
    until(lambda: prefix.reg_value(key, "SizePositionWindow"), 6)
    agent.unload()
    assert prefix.reg_value(key, "SizePositionWindow") == "REG_BINARY 010000000000000000000000C800000080000000"
    # Kept as stored, off because missing, and kept although out of the
    # page's range (the store has no range checks).
    assert [prefix.reg_value(key, n) for n in ("HideWindowTitle", "ShowWindowOnTop", "RefreshRate")] == \
        ["REG_BINARY 01", "REG_BINARY 00", "REG_DWORD 0x5"], "Monitors\\0000 not completed as stored"
    assert len(prefix.reg_subkeys(MONITORS)) == 1, f"monitor keys after the refresh: {prefix.reg_subkeys(MONITORS)}"
