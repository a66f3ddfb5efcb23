# The Monitor(s) page: what selected monitors share, changes marked "*" until
# applied to the registry and the open monitor, Cancel, Restore Defaults.
import struct

import ids
import conftest
from conftest import (LAN, LAN_ID, WLAN, WLAN_ID, answer, child, enabled, menus, open_monitor, open_preferences,
                      page_shown, until)
from wine import AGENT_KEY

KEY, ASK = AGENT_KEY + r"\Monitors", "ZorvanHAgent Monitor Properties"
LINES, FLAGS, COLORS = "Enable vertical lines", "Extented parameters", "Color adjustment"
GUID = "{0A1B2C3D-0000-4000-8000-00000000000%s}"


def store(prefix, *monitors):
    # (id, transparency, left, top, flags on besides "on top") of 200 x 128 each
    prefix.reg_import("".join(
        f'[{KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")}\\{n:04}]\n"Name"="{id}"\n"TransparentLevel"=dword:{level:08x}\n'
        f'"SizePositionWindow"=hex:{struct.pack("<5i", 1, x, y, x + 200, y + 128).hex(",", 1)}\n' +
        "".join(f'"{f}"=hex:01\n' for f in ("ShowWindowOnTop", *on))
        for n, (id, level, x, y, *on) in enumerate(monitors)))


def reg(prefix, n, name="TransparentLevel"):
    return prefix.reg_value(KEY + ("" if n is None else f"\\{n:04}"), name)


def properties(agents, title):
    # The monitor's menu as a right click opens it; its first item chosen.
    drv = agents.drv
    for _ in range(3):
        drv.post(title, ids.WM_RBUTTONDOWN, ids.MK_RBUTTON, 0x140014)
        drv.post(title, ids.WM_RBUTTONUP, 0, 0x140014)
        menu = until(lambda: menus(drv), 4)
        if menu and agents.keys(menu[0], ids.VK_DOWN, ids.VK_RETURN):
            return
        drv.note("the monitor's menu went before the keys")
    raise AssertionError(f'the menu of "{title}" did not take the choice')


class Page(conftest.Page):
    def __new__(cls, agents, *selected, opened=False):
        drv = agents.drv
        page = super().__new__(cls, drv, page_shown(drv, 2) if opened else open_preferences(agents, 2),
                               ids.IDC_MON_INTERFACES)
        page.expect(*selected)
        return page

    def expect(self, *selected, listed=None):
        got = lambda: ([r[3] for r in self.rows() if "selected" in r[2]], listed and [r[3] for r in self.rows()])
        assert until(lambda: got() == (list(selected), listed), 10), f"selected, listed: {got()}"

    def select(self, row, on, list_id=ids.IDC_MON_INTERFACES):
        self.drv("lv-select", self, list_id, row, "on" if on else "off")

    def level(self, want, slider=None, flags=None, colors=None):
        # The transparency label (and slider); the groups' captions, "*" when changed.
        self.text(ids.IDC_MON_TRANSPARENCY_LABEL, f"Window transparent level: {want}")
        got = slider and int(self.drv.send(child(self.drv, self, ids.IDC_MON_TRANSPARENCY), ids.TBM_GETPOS), 16)
        assert got == slider
        for id, caption, changed in ((ids.IDC_MON_FLAGS_GROUP, FLAGS, flags),
                                     (ids.IDC_MON_COLORS_GROUP, COLORS, colors)):
            if changed is not None:
                self.text(id, caption + "*" * changed)

    def flag(self, label):
        # (row, picture, text), marked or not
        return next((int(r[0]), r[1], r[3]) for r in self.rows(ids.IDC_MON_FLAGS) if r[3].rstrip("*") == label)

    def on(self, *controls):
        return [enabled(self.drv, self, c) for c in controls]

    def slide(self, to):
        # As a drag ends.
        slider = child(self.drv, self, ids.IDC_MON_TRANSPARENCY)
        self.drv.send(slider, ids.TBM_SETPOS, 1, to)
        self.drv.send(self, ids.WM_HSCROLL, ids.TB_ENDTRACK, slider[5:])
        self.level(f"{to}%*")

    def apply(self, prefix, n, want, name="TransparentLevel"):
        self.drv.press(self, ids.IDC_MON_APPLY)
        assert until(lambda: want in reg(prefix, n, name)[:19], 5), f"key {n} holds {reg(prefix, n, name)}"

    def restore(self, button, prefix=None):
        # Restore Defaults answered; given the prefix, No must leave the registry be.
        before = prefix and prefix.reg("query", KEY, "/s")
        self.drv.press(self, ids.IDC_MON_DEFAULTS)
        answer(self.drv, ASK, "Do you want to restore default settings\nfor selected network interface(s)?", button, ASK)
        assert not prefix or prefix.reg("query", KEY, "/s") == before, "No changed the stored monitors"


def test_monitors_page(sim, agents, drv, prefix):
    sim.start("default.scn", "set-interface lan rx-rate=0 tx-rate=0")
    store(prefix, (LAN_ID, 30, 1040, 60), (WLAN_ID, 51, 1040, 300, "PopupWhenConnected"))
    agents.start_on_tray()
    # A monitor's "&Properties" selects it, on a new page and on one already made.
    for n, title in ((1, WLAN), (0, LAN)):
        open_monitor(agents, n, title)
        properties(agents, title)
        p = Page(agents, title, opened=True)
    layered = lambda: drv("layered", LAN).strip()
    assert layered() == "layered 178"
    p.select(1, True)
    p.level("40%", 40)
    assert (p.flag("Popup when connected")[1], p.flag("Show window on top")[1]) == ("2", "0")
    assert p.on(ids.IDC_MON_APPLY) == [False]
    prefix.shot("monitors-page")
    p.slide(45)
    p.apply(prefix, 0, "REG_DWORD 0x2d")
    assert reg(prefix, 1) == "REG_DWORD 0x2d"
    p.select(1, False)
    p.level("45%")
    p.slide(60)
    row = p.flag(LINES)[0]
    p.select(row, True, ids.IDC_MON_FLAGS)
    drv("key", child(drv, p, ids.IDC_MON_FLAGS), ids.VK_SPACE)
    assert until(lambda: p.flag(LINES) == (row, "0", LINES + "*"), 3), f"ticked: {p.flag(LINES)}"
    assert p.on(ids.IDC_MON_APPLY) == [True]
    p.restore(ids.IDNO, prefix)
    p.level("60%*", flags=True)
    assert p.flag(LINES)[1:] == ("0", LINES + "*")
    p.apply(prefix, 0, "REG_BINARY 01", "EnableVerticalLines")
    assert (reg(prefix, 0), layered(), reg(prefix, 1)) == ("REG_DWORD 0x3c", "layered 102", "REG_DWORD 0x2d")
    p.level("60%", flags=False)
    p.slide(10)
    drv.press(p, ids.IDC_MON_CANCEL)
    p.level("60%")
    assert p.on(ids.IDC_MON_APPLY) == [False] and reg(prefix, 0) == "REG_DWORD 0x3c", '"Ca&ncel" left a change'
    # Red typed into the colour dialog for "Receive background" is a change that Apply stores; the
    # custom colours are stored anyway.
    drv.press(p, ids.IDC_MON_CHOOSE)
    # An OK before the dialog is set up is lost.
    drv("wait-shown", "Color")
    for key in "255":
        drv("key", drv.control("Color", ids.COLOR_RED), ord(key))
    drv.wait_text("Color", ids.COLOR_RED, "255")
    drv.press("Color", ids.IDOK)
    drv.wait_gone("Color", 2000)
    p.level("60%", colors=True)
    p.text(ids.IDC_MON_COLORS, "Receive background*")
    assert len(reg(prefix, None, "CustomColors")) == 11 + 128
    p.apply(prefix, 0, "FF000000", "Colors")
    # The monitor opaque at the default place; its move then rewrites the first word.
    p.restore(ids.IDYES)
    got = lambda: (reg(prefix, 0), reg(prefix, 0, "EnableVerticalLines"), reg(prefix, 0, "SizePositionWindow")[-32:],
                   layered())
    assert until(lambda: got() == ("REG_DWORD 0x0", "REG_BINARY 00", "0000000000000000C800000080000000", "opaque"),
                 3), got()
    p.level("0%", colors=False)


def test_monitors_page_rows(sim, agents, drv, prefix):
    # A refresh selects by the interface's identifier, not its row or name;
    # Apply then writes to that interface's key alone. No monitorable
    # interface: the message row, selected; the page disabled.
    sim.start("mapping.scn", "remove-interface lan", "remove-interface wan", "remove-interface old")
    for k, name, flags in (("A", "Alpha", ",connected,binding-active"), ("B", "Beta", ""), ("C", "Gamma", "")):
        sim("add-interface", k, f"name={name} Adapter", f"id={GUID % k}", f"flags=supported,bound{flags}")
    store(prefix, *((GUID % k, 10 * n + 10, 100, 60 + 240 * n) for n, k in enumerate("ABC")))
    agents.start_on_tray()
    p = Page(agents, "Alpha Adapter")
    p.select(2, True)
    p.select(0, False)
    p.level("30%")
    sim("remove-interface", "A")
    p.expect("Gamma Adapter", listed=["Beta Adapter", "Gamma Adapter"])
    sim("set-interface", "C", "name=Gamma Adapter Renamed")
    p.expect("Gamma Adapter Renamed", listed=["Beta Adapter", "Gamma Adapter Renamed"])
    p.level("30%")
    p.slide(70)
    p.apply(prefix, 2, "REG_DWORD 0x46")
    assert (reg(prefix, 0), reg(prefix, 1)) == ("REG_DWORD 0xa", "REG_DWORD 0x14")
    sim("add-interface", "usb", "name=USB Ethernet Adapter", "flags=supported,connected")
    for words, row in (("remove-interface B", None), ("remove-interface C", "Bound adapters were not found!")):
        sim(*words.split())
        # The page lists again.
        sim("signal", "conf")
        if row:
            p.expect(row)
            assert p.on(ids.IDC_MON_DEFAULTS, ids.IDC_MON_FLAGS) == [False, False], f"enabled by {p.rows()}"
