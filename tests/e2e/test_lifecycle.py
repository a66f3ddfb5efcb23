"""Start, single instance and unload."""
from conftest import EXIT_WINDOW, MAIN_WINDOW, RUNNING_MUTEX, TITLE


def test_start_and_unload(sim, agents, drv, prefix):
    sim.start("default.scn")
    agent = agents.start()
    assert drv.ok("mutex-exists", RUNNING_MUTEX), f"mutex {RUNNING_MUTEX} missing while the agent runs"
    sim.wait_count(1, 1)
    prefix.shot("start-and-unload")
    # Once its tray icon is in place the agent shows no window of its own;
    # judged after the unload, so that the unload is checked either way.
    drv.ok("wait-shown", MAIN_WINDOW, timeout=1000)
    shown = [w for w in drv.windows() if w["caption"] == MAIN_WINDOW and w["visible"] == "visible"]
    agent.unload()
    sim.ledger_clean(1)
    assert not shown, f'main window "{MAIN_WINDOW}" visible after start'


def test_second_start(sim, agents, drv):
    sim.start("default.scn")
    first = agents.start()
    second = agents.start(window=False)
    agents.answer_msgbox(f"{TITLE} already running.", "exclamation", "second-start")
    second.expect_exit(0, 5)
    assert first.running(), "the first agent ended too"
    drv.wait_window(EXIT_WINDOW, 1000)
    first.unload()
    sim.ledger_clean(1)
