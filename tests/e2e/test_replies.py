"""Odd replies to the interface list request."""
import re

import pytest

from conftest import SCENARIOS, hold


def test_busy_replies(sim, agents, prefix):
    busy = int(re.search(r"^fault busy code=1 times=(\d+)", (SCENARIOS / "busy.scn").read_text(), re.M).group(1))
    sim.start("busy.scn")
    agent = agents.start()
    sim.wait_count(1, busy + 1, 8)
    prefix.shot("busy-replies")
    agent.unload()
    sim.ledger_clean(busy + 1)


@pytest.mark.parametrize("scenario", ["malformed.scn", "truncated.scn"], ids=["malformed", "truncated"])
def test_broken_replies(scenario, sim, agents, prefix):
    """The scenario damages successive list replies; the service's change
    signals make the agent ask again."""
    sim.start(scenario)
    agent = agents.start()
    sim.wait_count(1, 1)
    for _ in range(3):
        for signal in ("conf", "status"):
            sim("signal", signal)
            hold(0.7, "the agent takes the damaged reply")
    agent.expect_responsive()
    prefix.shot(f"broken-replies-{scenario[:-4]}")
    agent.unload()
    sim.ledger_clean(1)
