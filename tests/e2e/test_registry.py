# The settings code against the prefix's own registry: RegistryStoreTest.exe
# runs its checks, then leaves two monitors and the custom colours, which
# `reg query` reads back independently of the code that wrote them.
import re
import struct

from conftest import MONITOR_FLAGS
from wine import AGENT_KEY


def words(*values):
    return "REG_BINARY " + struct.pack(f"<{len(values)}i", *values).hex().upper()


def test_registry_store(prefix):
    out = prefix.run(prefix.own, prefix.bin / "RegistryStoreTest.exe", check=False)
    assert re.search(r"^registry tests: \d+ checks, 0 failed$", out, re.M), re.findall(r"^FAIL .*", out, re.M)[:5]
    got, key = {}, ""
    for line in prefix.reg("query", AGENT_KEY + r"\Monitors", "/s").splitlines():
        if line.startswith("HKEY_"):
            key = line.rsplit("\\", 1)[1]
        elif line.strip():
            name, *value = re.split(r"\s{4}", line.strip())
            got[key, name] = " ".join(value).upper()
    # The first monitor's flags alternate from on; the second keeps a new monitor's.
    want = {**{("0000", f): f"REG_BINARY 0{(i + 1) % 2}" for i, f in enumerate(MONITOR_FLAGS)},
            **{("0001", f): f"REG_BINARY 0{v}" for f, v in MONITOR_FLAGS.items()},
            ("0000", "Name"): "REG_SZ {A}", ("0000", "SizePositionWindow"): words(2, -20, 30, 300, 230),
            ("0001", "Name"): "REG_SZ {B}",
            ("Monitors", "CustomColors"): words(*(i * 0x111111 for i in range(16)))}
    assert {k: got.get(k) for k in want} == want
