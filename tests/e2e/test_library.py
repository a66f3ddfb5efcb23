"""Loading and initialising the interface library, with and without a service."""
import os
import pathlib
import shutil

import pytest

import wine
from conftest import hold

CANT_LOAD = "Can't load interface library ZorvanHServiceIO.dll."


def alone(prefix, name, *files):
    folder = prefix.tmp / name
    folder.mkdir()
    for f in (prefix.bin / "ZorvanHAgent.exe", *files):
        shutil.copy(f, folder)
    return folder


def test_library_missing(prefix, agents):
    agent = agents.start(alone(prefix, "alone"), window=False)
    agents.answer_msgbox(CANT_LOAD, "hand", "library-missing")
    agent.expect_exit(0, 5)


def test_library_other_arch(prefix, sim, agents):
    """A library of the other architecture beside the agent, with the service
    running: it cannot be loaded, and the agent says so and ends cleanly."""
    other = pathlib.Path(os.environ.get("E2E_OTHER_BIN") or
                         str(prefix.bin).replace(f"win{prefix.arch}", f"win{96 - prefix.arch}"))
    library = other / "ZorvanHServiceIO.dll"
    if not library.is_file() or wine.pe_arch(library) == prefix.arch:
        pytest.fail(f"no library of the other architecture at {other} (set E2E_OTHER_BIN)")
    sim.start("default.scn")
    agent = agents.start(alone(prefix, "other-arch", library), window=False)
    agents.answer_msgbox(CANT_LOAD, "hand", "library-other-arch")
    agent.expect_exit(0, 5)
    assert sim.count(1) == 0, "the agent reached the service through the foreign library"


def test_library_init_fails(sim, agents):
    sim.start("wrong-version.scn")
    agent = agents.start(window=False)
    agents.answer_msgbox("Can't initialize interface library ZorvanHServiceIO.dll.", "hand", "library-init-fails")
    agent.expect_exit(0, 5)
    sim.stop()
    # The one status besides success that initialisation accepts.
    sim.start("default.scn", "fault init status=0xC0FE0002 times=1")
    agents.start().unload()


def test_service_not_started(sim, agents, prefix):
    for shot in ("no-simulator", "service-not-started"):
        if shot == "service-not-started":
            sim.start("not-started.scn")
        agent = agents.start()
        hold(2, "the agent keeps running without a service")
        agent.expect_responsive()
        prefix.shot(shot)
        agent.unload()
    sim.ledger_clean(0)
