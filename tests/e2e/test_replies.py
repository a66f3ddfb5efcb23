# Odd replies to the interface list request: busy ones are asked again until
# answered, damaged ones again on each of the service's change signals.
import re

import pytest

from conftest import SCENARIOS, hold


@pytest.mark.parametrize("name", ["busy", "malformed", "truncated"])
def test_replies(name, sim, agents, prefix):
    busy = re.search(r"^fault busy code=1 times=(\d+)", (SCENARIOS / "busy.scn").read_text(), re.M)
    asked = int(busy.group(1)) + 1 if name == "busy" else 1
    sim.start(name + ".scn")
    agent = agents.start()
    sim.wait_count(1, asked, 8)
    for signal in ("conf", "status") * 3 * (name != "busy"):
        sim("signal", signal)
        hold(0.7, "the agent takes the damaged reply")
    agent.expect_responsive()
    agent.unload()
    sim.ledger_clean(asked)
