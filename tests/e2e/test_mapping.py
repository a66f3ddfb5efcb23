# The statistics mapping link. Every publication of a view wakes the
# interface refresh, which lists the interfaces again two seconds later, so a
# rise of the request-1 count is what shows a (re)publication. mapping.scn
# changes nothing by itself, so no other cause can raise the count.
from conftest import hold


def settled_count(sim):
    # The request-1 count once it stayed the same for 2.5 s (longer than the refresh's settling time).
    last, same = sim.count(1), 0
    while same < 5:
        hold(0.5, "the count settles")
        same, last = (same + 1, last) if sim.count(1) == last else (0, sim.count(1))
    return last


def expect_rise(sim, count, what):
    try:
        sim.wait_count(1, count, 6)
    except AssertionError as e:
        raise AssertionError(f"{what}: {e}") from None
    hold(0.5, "the refresh waits again before the next fault")


def expect_quiet(sim, seconds, what, base):
    hold(seconds, what)
    assert sim.count(1) == base, f"list requested again while {what}"


def test_mapping(sim, agents):
    sim.start("mapping.scn", "mapping remove-entry")
    agent = agents.start()
    sim.wait_count(1, 1)
    n = settled_count(sim)
    expect_quiet(sim, 1, "the directory had no statistics entry", n)
    for words in ("mapping restore-entry", "mapping directory-invalid", "mapping directory-valid",
                  "mapping view-identity", "stop-service", "start-service", "abandon-mutex",
                  "mapping directory-invalid", "mapping directory-valid"):
        before = sim.count(1)
        sim(*words.split())
        if words == "abandon-mutex":
            # The simulator's tick stays away for three seconds; by then the
            # agent must have taken the mutex over and released it again.
            hold(4, "the agent takes the abandoned mutex over")
            assert sim("mutex").endswith(" abandoned=0 busy=0"), f"server mutex kept: {sim('mutex')}"
        elif words == "stop-service":
            hold(1.5, "the service is away")
        elif words.endswith("invalid"):
            expect_quiet(sim, 1.5, "the directory was invalid", before)
        else:
            n += 1
            expect_rise(sim, n, f"publication after {words}")
    agent.unload()
    sim.ledger_clean(n)
