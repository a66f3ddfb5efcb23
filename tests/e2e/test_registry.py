"""The settings code against the prefix's own registry: RegistryStoreTest.exe
runs its checks, then leaves two monitors and the custom colours, which
`reg query` reads back independently of the code that wrote them."""
import re
import struct

from wine import AGENT_KEY, winpath

MONITORS = AGENT_KEY + r"\Monitors"
FLAGS = ("HideWindowTitle ShowWindowOnTop ShowMaxSpeedText ShowCurPeakText ShowMaxPeakText EnableHorizontalLines "
         "EnableVerticalLines EnableTimeArrow EnableConnectionTimeText DontConsiderHardwareHeaders "
         "EnableBoldTextsOnWindow MakeWindowTrasparentForMouse MakeSendReceiveScaleEqual PopupWhenConnected "
         "HideWhenDisconnected EnableBytesPerSecond").split()


def store_program(prefix, *args):
    out = prefix.run(prefix.own, prefix.bin / "RegistryStoreTest.exe", *args, check=False)
    prefix.log.write(out)
    return out


def words(*values):
    return "REG_BINARY " + struct.pack(f"<{len(values)}i", *values).hex().upper()


def test_registry_store(prefix):
    out = store_program(prefix)
    (prefix.artifacts / "registry-store.txt").write_text(out)
    assert not re.findall(r"^FAIL .*", out, re.M)[:5]
    assert re.search(r"^registry tests: \d+ checks, 0 failed$", out, re.M), f"summary: {out[-300:]}"


def test_registry_readback(prefix):
    store_program(prefix, "--leave-monitors")
    first, second = MONITORS + r"\0000", MONITORS + r"\0001"
    expected = {
        (first, "Name"): "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4D}",
        (second, "Name"): "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4E}",
        **{(first, flag): f"REG_BINARY 0{(i + 1) % 2}" for i, flag in enumerate(FLAGS)},
        (first, "TransparentLevel"): "REG_DWORD 0x28",
        (first, "RefreshRate"): "REG_DWORD 0xfa",
        (first, "Colors"): words(*(i * 0x030201 for i in range(22))),
        (first, "SizePositionWindow"): words(2, -20, 30, 300, 230),
        (second, "ShowWindowOnTop"): "REG_BINARY 01",
        (second, "HideWindowTitle"): "REG_BINARY 00",
        (second, "TransparentLevel"): "REG_DWORD 0x0",
        (second, "RefreshRate"): "REG_DWORD 0x3e8",
        (second, "SizePositionWindow"): words(1, 0, 0, 200, 128),
        (MONITORS, "CustomColors"): words(*(i * 0x111111 for i in range(16))),
    }
    for (key, name), want in expected.items():
        got = prefix.reg_value(key, name)
        assert got.upper() == want.upper(), f'{key.rsplit(chr(92), 1)[1]}\\{name} is "{got or "missing"}", not "{want}"'
    assert len(prefix.reg_subkeys(MONITORS)) == 2, f"Monitors subkeys: {prefix.reg_subkeys(MONITORS)}"
    export = prefix.artifacts / "registry-monitors.reg"
    export.unlink(missing_ok=True)
    prefix.reg("export", AGENT_KEY, winpath(export), "/y")
    assert export.stat().st_size > 0, "reg export of the agent key failed"
