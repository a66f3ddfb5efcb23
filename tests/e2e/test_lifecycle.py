# Start, single instance and unload, with and without a service; the start-up
# options and stored monitors a start leaves in the registry.
from conftest import LAN_ID, MAIN_WINDOW, RUNNING_MUTEX, TITLE, hold, until
from wine import AGENT_KEY

KEY = AGENT_KEY + r"\Monitors\0000"


def test_start_and_unload(sim, agents, drv, prefix):
    # Without a service the agent keeps running. A first start writes its
    # options off (their other forms are the registry tests' part).
    agent = agents.start()
    flags = lambda: [prefix.reg_value(AGENT_KEY + r"\General", n) for n in
                     ("SetDisableStateZorvanHAgent", "ShowMonitorWindows", "ShowStatisticsWindow")]
    assert until(lambda: flags() == ["REG_BINARY 00"] * 3, 3), flags()
    hold(2, "the agent keeps running without a service")
    agent.expect_responsive()
    agent.unload()
    # The interface refresh completes a stored monitor key in place and adds
    # none for an interface without one.
    prefix.reg_import(f'[{KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")}]\n"HideWindowTitle"=hex:01\n"Name"="{LAN_ID}"')
    sim.start("default.scn")
    agent = agents.start()
    # The single-instance mutex while it runs.
    assert drv.ok("mutex-exists", RUNNING_MUTEX)
    second = agents.start(window=False)
    agents.answer_msgbox(f"{TITLE} already running.", "exclamation", "second-start")
    second.expect_exit(0, 5)
    until(lambda: prefix.reg_value(KEY, "SizePositionWindow"), 6)
    # Once its tray icon is in place the agent shows no window of its own;
    # judged after the unload, which needs the first agent still there.
    shown = drv.ok("wait-shown", MAIN_WINDOW, timeout=1000)
    agent.unload()
    sim.ledger_clean(1)
    # No window of its own showed.
    assert not shown
    # Completed (the values' rules are the registry tests' part), what was stored kept; no key for
    # an interface without one.
    assert prefix.reg_value(KEY, "SizePositionWindow") and prefix.reg_value(KEY, "HideWindowTitle") == "REG_BINARY 01"
    assert len(prefix.reg_subkeys(AGENT_KEY + r"\Monitors")) == 1
