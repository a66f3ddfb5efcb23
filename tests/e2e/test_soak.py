# The long run, out of the normal one: SOAK_SECONDS=3600 pytest tests/e2e -m soak
# (60 s unless set). Rounds of windows opened and closed while an adapter comes
# and goes and the service restarts; handles, memory and settings must stay.
import os
import time

import pytest

import ids
from conftest import LAN, STATS_WINDOW, close_preferences, gui_resources, open_monitor, open_preferences, until
from wine import AGENT_KEY

pytestmark = [pytest.mark.soak, pytest.mark.timeout(0)]


def test_soak(sim, agents, drv, prefix):
    sim.start("default.scn", "set-interface lan rx-rate=4000000,0,9000000 tx-rate=1000000")
    agent = agents.start_on_tray()
    settings = lambda: [prefix.reg("query", AGENT_KEY + k) for k in (r"\General", r"\StatisticWindow")]
    before, end, n = settings(), time.monotonic() + int(os.environ.get("SOAK_SECONDS") or 60), 0
    while n < 3 or time.monotonic() < end:
        n += 1
        # A round after a restart starts once the service is back, as a user would wait for it.
        assert until(lambda: sim("show").startswith("service=running"), 10), n
        open_monitor(agents, 0, LAN)
        # The rest of the round opens its windows while the service is away.
        if n % 10 == 5:
            sim("stop-service", "for=2")
        agents.choose(ids.VK_DOWN, ids.VK_RETURN)
        drv("wait-shown", STATS_WINDOW, timeout=8000, what=f"round {n}: no statistics window")
        for page in (2, 3, 4, 1):
            open_preferences(agents, page)
        close_preferences(drv)
        for window in (STATS_WINDOW, LAN):
            drv.send(window, ids.WM_CLOSE)
            drv.wait_gone(window, 8000)
        sim("set-interface", "lan", f"connected={n % 2}")
        if n == 3:
            # The first rounds make what stays for the run.
            grown = gui_resources(drv, 4194304)
    sim("set-interface", "lan", "connected=1")
    bad, seen = grown()
    drv.note(f"soak: {n} rounds; gdi user handles private windows {seen}")
    assert not bad, f"{n} rounds: {seen}"
    # The agent's settings stay.
    assert settings() == before
    agent.unload()
    sim.ledger_clean(1)
