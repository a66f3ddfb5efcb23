# Loading and initialising the interface library, with and without a service.
import os
import pathlib
import shutil

import pytest

import wine


@pytest.mark.parametrize("case", ["missing", "other-arch", "init-fails"])
def test_library(case, prefix, sim, agents):
    # The agent says it cannot go on and ends cleanly; from a folder of its own
    # a missing library is not found beside the others either.
    folder, files = None, []
    if case == "other-arch":
        other = pathlib.Path(os.environ.get("E2E_OTHER_BIN") or
                             str(prefix.bin).replace(f"win{prefix.arch}", f"win{96 - prefix.arch}"))
        files = [other / "ZorvanHServiceIO.dll"]
        assert files[0].is_file() and wine.pe_arch(files[0]) != prefix.arch, f"no other library in {other}"
    if case != "missing":
        sim.start("wrong-version.scn" if case == "init-fails" else "default.scn")
    if case != "init-fails":
        folder = prefix.tmp / case
        folder.mkdir()
        for f in (prefix.bin / "ZorvanHAgent.exe", *files):
            shutil.copy(f, folder)
    agent = agents.start(folder, window=False)
    verb = "initialize" if case == "init-fails" else "load"
    agents.answer_msgbox(f"Can't {verb} interface library ZorvanHServiceIO.dll.", "hand", f"library-{case}")
    agent.expect_exit(0, 5)
    if case == "other-arch":
        assert sim.count(1) == 0
    # The one status besides success that initialisation accepts.
    if case == "init-fails":
        sim.stop()
        sim.start("default.scn", "fault init status=0xC0FE0002 times=1")
        agents.start().unload()
