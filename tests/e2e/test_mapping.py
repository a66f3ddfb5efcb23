# The statistics mapping link. Every publication of a view wakes the
# interface refresh, which lists the interfaces again two seconds later, so a
# rise of the request-1 count is what shows a (re)publication. mapping.scn
# changes nothing by itself, so no other cause can raise the count.
from conftest import hold


def test_mapping(sim, agents):
    sim.start("mapping.scn", "mapping remove-entry")
    agent = agents.start()
    sim.wait_count(1, 1)
    # The count once it stayed the same for 2.5 s (longer than the refresh's settling time).
    n, same = sim.count(1), 0
    while same < 5:
        hold(0.5, "the count settles")
        same, n = (same + 1, n) if sim.count(1) == n else (0, sim.count(1))
    hold(1, "the directory has no statistics entry")
    assert sim.count(1) == n, "list requested again without a statistics entry"
    for words in ("mapping restore-entry", "mapping directory-invalid", "mapping directory-valid",
                  "mapping view-identity", "stop-service", "start-service", "abandon-mutex",
                  "mapping directory-invalid", "mapping directory-valid"):
        before = sim.count(1)
        sim(*words.split())
        if words == "abandon-mutex":
            # The simulator's tick stays away for three seconds; by then the
            # agent must have taken the mutex over and released it again.
            hold(4, "the agent takes the abandoned mutex over")
            assert sim("mutex").endswith(" abandoned=0 busy=0"), sim("mutex")
        elif words == "stop-service":
            hold(1.5, "the service is away")
        elif words.endswith("invalid"):
            hold(1.5, "the directory is invalid")
            assert sim.count(1) == before, "list requested again with an invalid directory"
        else:
            n += 1
            sim.wait_count(1, n, 6)
            hold(0.5, "the refresh waits again before the next change")
    agent.unload()
    sim.ledger_clean(n)
