# The settings code against the prefix's own registry: RegistryStoreTest.exe
# runs its checks, then leaves two monitors and the custom colours, which
# `reg query` reads back independently of the code that wrote them.
import re
import struct

from wine import AGENT_KEY

MONITORS = AGENT_KEY + r"\Monitors"
FLAGS = ("HideWindowTitle ShowWindowOnTop ShowMaxSpeedText ShowCurPeakText ShowMaxPeakText EnableHorizontalLines "
         "EnableVerticalLines EnableTimeArrow EnableConnectionTimeText DontConsiderHardwareHeaders "
         "EnableBoldTextsOnWindow MakeWindowTrasparentForMouse MakeSendReceiveScaleEqual PopupWhenConnected "
         "HideWhenDisconnected EnableBytesPerSecond").split()


def words(*values):
    return "REG_BINARY " + struct.pack(f"<{len(values)}i", *values).hex().upper()


def test_registry_store(prefix):
    out = prefix.run(prefix.own, prefix.bin / "RegistryStoreTest.exe", check=False)
    (prefix.artifacts / "registry-store.txt").write_text(out)
    assert re.search(r"^registry tests: \d+ checks, 0 failed$", out, re.M), re.findall(r"^FAIL .*", out, re.M)[:5]
    prefix.run(prefix.own, prefix.bin / "RegistryStoreTest.exe", "--leave-monitors", check=False)
    want = {**{("0", f): f"REG_BINARY 0{(i + 1) % 2}" for i, f in enumerate(FLAGS)},
            ("0", "Name"): "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4D}", ("0", "TransparentLevel"): "REG_DWORD 0x28",
            ("0", "RefreshRate"): "REG_DWORD 0xfa", ("0", "Colors"): words(*(i * 0x030201 for i in range(22))),
            ("0", "SizePositionWindow"): words(2, -20, 30, 300, 230),
            ("1", "Name"): "REG_SZ {5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4E}", ("1", "ShowWindowOnTop"): "REG_BINARY 01",
            ("1", "HideWindowTitle"): "REG_BINARY 00", ("1", "TransparentLevel"): "REG_DWORD 0x0",
            ("1", "RefreshRate"): "REG_DWORD 0x3e8", ("1", "SizePositionWindow"): words(1, 0, 0, 200, 128),
            ("", "CustomColors"): words(*(i * 0x111111 for i in range(16)))}
    got = {(n, v): prefix.reg_value(MONITORS + (n and "\\000" + n), v).upper() for n, v in want}
    assert got == {k: v.upper() for k, v in want.items()}
    assert len(prefix.reg_subkeys(MONITORS)) == 2, prefix.reg_subkeys(MONITORS)
