"""The statistics mapping link. Every publication of a view wakes the
interface refresh, which lists the interfaces again two seconds later, so a
rise of the request-1 count is what shows a (re)publication. mapping.scn
changes nothing by itself, so no other cause can raise the count."""
from conftest import hold


def settled_count(sim):
    """The request-1 count once it stayed the same for 2.5 s (longer than the refresh's settling time)."""
    last, same = sim.count(1), 0
    for _ in range(30):
        hold(0.5, "the count settles")
        now = sim.count(1)
        same, last = (same + 1, last) if now == last else (0, now)
        if same == 5:
            break
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


def test_mapping_publish_and_rebuilds(sim, agents):
    sim.start("mapping.scn", "mapping remove-entry")
    agent = agents.start()
    sim.wait_count(1, 1)
    base = settled_count(sim)
    expect_quiet(sim, 1, "the directory had no statistics entry", base)
    sim("mapping", "restore-entry")
    expect_rise(sim, base + 1, "publication once the entry is there")
    sim("mapping", "directory-invalid")
    expect_quiet(sim, 1.5, "the directory was invalid", base + 1)
    sim("mapping", "directory-valid")
    expect_rise(sim, base + 2, "republication after the directory was valid again")
    sim("mapping", "view-identity")
    expect_rise(sim, base + 3, "republication after a new view identity")
    agent.unload()
    sim.ledger_clean(base + 3)


def test_mapping_restart_and_abandoned_mutex(sim, agents):
    sim.start("mapping.scn")
    agent = agents.start()
    sim.wait_count(1, 1)
    base = settled_count(sim)
    sim("stop-service")
    hold(1.5, "the service is away")
    sim("start-service")
    expect_rise(sim, base + 1, "republication after a service restart")
    sim("abandon-mutex")
    # The simulator's tick stays away for three seconds; by then the agent
    # must have taken the mutex over and released it again.
    hold(4, "the agent takes the abandoned mutex over")
    mutex = sim("mutex")
    assert mutex.endswith(" abandoned=0 busy=0"), f"server mutex not taken over and released by the agent: {mutex}"
    sim("mapping", "directory-invalid")
    hold(1.5, "the directory is invalid")
    sim("mapping", "directory-valid")
    expect_rise(sim, base + 2, "republication after the mutex was taken over")
    agent.unload()
    sim.ledger_clean(base + 2)
