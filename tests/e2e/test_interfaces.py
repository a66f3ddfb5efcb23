"""The Interface(s) page: its lines, the buttons per selection, binds behind
the progress dialog, each held by the simulator until let through."""
import ids
from conftest import MAIN_WINDOW, child, enabled, items, open_preferences, until

BINDING, UNBINDING = "ZorvanH Agent is binding...", "ZorvanH Agent is unbinding..."
ASKED = "If you are do unbind, you are posibble lost of statisic active network connection(s).  Are you sure?"
GIG, USB, MODEM = "Gigabit Ethernet Adapter (PCI)", "USB Ethernet Adapter", "Dial-up Modem Adapter"
BUTTONS = (ids.IDC_BIND_SELECTED, ids.IDC_UNBIND_SELECTED, ids.IDC_BIND_ALL, ids.IDC_UNBIND_ALL)


def listed(gig, usb, *more):
    """Supported first, among them not present first, then by name."""
    return ["6:Fast Ethernet 10/100 PCI Adapter", "11:Docking Station Ethernet", f"{gig}:{GIG}", f"{usb}:{USB}",
            "5:Wireless LAN Adapter 802.11g", *more, f"7:{MODEM}", "1:WAN Miniport (PPTP)"]


class Page:
    def __init__(self, sim, agents, *commands, scenario="interfaces.scn"):
        self.sim, self.drv = sim, agents.drv
        if scenario:  # else on the agent already running
            sim.start(scenario, *commands)
            self.agent = agents.start_on_tray()
        self.hwnd = open_preferences(agents, 3, ids.IDC_UNBIND_ALL)
        self.wait_list()

    def rows(self):
        return items(self.drv, self.hwnd, ids.IDC_INTERFACE_LIST)

    def lines(self):
        return [f"{r[1]}:{r[3]}" for r in self.rows()]

    def selected(self):
        return [r[3] for r in self.rows() if "selected" in r[2]]

    def enabled(self, id):
        return enabled(self.drv, self.hwnd, id)

    def wait_list(self):
        assert until(lambda: self.rows() and "9" not in [r[1] for r in self.rows()] and
                     self.enabled(ids.IDC_REFRESH_INTERFACES), 10), f"the list did not come: {self.lines()}"

    def expect(self, *want, seconds=3):
        assert until(lambda: self.lines() == list(want), seconds), f"the list shows {self.lines()}, not {list(want)}"

    def buttons(self, want):
        """Bind selected, unbind selected, bind all, unbind all: y or n each. A
        configuration event lists the page again, the buttons off meanwhile."""
        got = lambda: "".join("ny"[self.enabled(b)] for b in BUTTONS)
        assert until(lambda: got() == want, 3), f"buttons {got()}, not {want}, at {self.selected()}"

    def down(self, n, name):
        for _ in range(n):
            self.drv("key", child(self.drv, self.hwnd, ids.IDC_INTERFACE_LIST), ids.VK_DOWN)
        assert until(lambda: self.selected() == [name], 2), f"Down selected {self.selected()}, not {name}"

    def progress(self, caption):
        dialog = until(lambda: [w["hwnd"] for w in self.drv.windows() if w["caption"] == caption and
                                f"\t{ids.IDC_BIND_BAR}\t" in self.drv("list-children", "hwnd:" + w["hwnd"])], 10, 0.1)
        assert dialog, f'no progress dialog "{caption}"'
        return "hwnd:" + dialog[0]

    def bar(self, dialog):
        return int(self.drv.send(child(self.drv, dialog, ids.IDC_BIND_BAR), ids.PBM_GETPOS), 16)

    def box(self, caption, text, answer, gone=None):
        """A box still being made shows no text yet; answered, the window gone goes too."""
        said = lambda: self.drv.msgbox(caption).get("text")
        assert until(lambda: said() == text, 8), f'box "{caption}" says "{said()}", not "{text}"'
        self.drv.press(caption, answer, msgbox=True)
        if gone:
            self.drv.wait_gone(gone, 3000)

    def binds(self):
        """What the agent asked, its process id left out."""
        pid = next(w["pid"] for w in self.drv.windows() if w["caption"] == MAIN_WINDOW)
        return [b.replace(f" {pid} ", " ") for b in self.sim("bind-requests").splitlines()]

    def run(self, button, caption):
        self.drv.press(self.hwnd, button)
        if caption == UNBINDING:
            self.box(caption, ASKED, ids.IDYES)
        dialog = self.progress(caption)
        self.sim("request-gate", 5, "step")
        self.drv.wait_gone(dialog, 10000)
        self.wait_list()


def test_interfaces_list_and_bind_all(sim, agents, drv, prefix):
    p = Page(sim, agents, "request-gate 5 closed")
    p.expect(*listed(2, 3))
    assert p.selected() == ["Fast Ethernet 10/100 PCI Adapter"]
    prefix.shot("interfaces-page")
    assert not p.enabled(ids.IDC_INTERFACE_PROPERTIES), '"Network interface &Properties" is enabled'
    p.buttons("nyyy")
    p.down(2, GIG)
    p.buttons("ynyy")
    p.down(3, MODEM)
    p.buttons("nnyy")
    lists = sim.count(1)
    drv.press(p.hwnd, ids.IDC_BIND_ALL)
    dialog = p.progress(BINDING)
    prefix.shot("interfaces-progress")
    assert drv.text(dialog, ids.IDC_BIND_TEXT) == "ZorvanH Agent is binding ZorvanHelper Miniport to:"
    for name, bar in ((GIG, 0), (USB, 50)):
        drv.wait_text(dialog, ids.IDC_BIND_NAME, name)
        assert p.bar(dialog) == bar, f"the bar is at {p.bar(dialog)} on {name}"
        sim("request-gate", 5, "step")
    # The agent shows the end for half a second; the driver waits for it itself.
    drv.wait_text(dialog, ids.IDC_BIND_NAME, "Completed")
    assert p.bar(dialog) == 100, "the bar is not full on Completed"
    drv.wait_gone(dialog)
    assert p.binds() == [f"1 {GIG}", f"1 {USB}"]
    p.wait_list()
    assert sim.count(1) > lists, "no fresh list after the operation"
    p.expect(*listed(4, 5))
    assert p.selected() == [MODEM], "the selection moved"
    p.buttons("nnny")
    sim.ledger_clean(2)
    p.agent.unload()


def test_interfaces_errors(sim, agents, drv):
    p = Page(sim, agents, "fault status code=5 interface=wired status=0xC0FE0018 apply=1",
             "fault status code=5 interface=usb status=0xC0FE0001")
    drv.press(p.hwnd, ids.IDC_BIND_ALL)
    dialog = p.progress(BINDING)
    # The failure is on the last interface: no question to go on.
    p.box(BINDING, "Error occured during the operation.", ids.IDOK, dialog)
    p.wait_list()
    p.expect(*listed(4, 3))  # 0xC0FE0018 counts as done
    sim("fault", "status", "code=5", "status=0xC0FE0005", "times=1")
    drv.press(p.hwnd, ids.IDC_UNBIND_ALL)
    p.box(UNBINDING, ASKED, ids.IDYES)
    dialog = p.progress(UNBINDING)
    p.box(UNBINDING, "Access denied! For this operation need admin privileges.", ids.IDOK, dialog)
    assert len(p.binds()) == 3, f"access denied did not stop the unbinding: {p.binds()}"
    p.wait_list()
    sim.ledger_clean(2)
    p.agent.unload()


def test_interfaces_escape(sim, agents, drv):
    p = Page(sim, agents, "request-gate 5 closed", "fault status code=5 interface=wired status=0xC0FE0015 apply=1",
             "fault status code=5 interface=extra status=0xC0FE0019 apply=1")
    sim("add-interface", "extra", "name=Wireless USB Adapter", "flags=supported")
    p.expect(*listed(2, 3, "3:Wireless USB Adapter"), seconds=8)
    drv.press(p.hwnd, ids.IDC_BIND_ALL)
    dialog = p.progress(BINDING)
    drv.wait_text(dialog, ids.IDC_BIND_NAME, GIG)
    # Escape reaches the dialog as IDCANCEL; sent, it has landed before the bind answers.
    drv.send(dialog, ids.WM_COMMAND, ids.IDCANCEL)
    sim("request-gate", 5, "open")
    # Asked once the current interface is done, before the next is sent.
    assert until(lambda: drv.ok("msgbox", BINDING, timeout=500), 8), "no question after Escape"
    assert len(p.binds()) == 1 and p.bar(dialog) == 33, f"asked after {p.binds()} at {p.bar(dialog)}"
    p.box(BINDING, "Do you want stop operation?", ids.IDNO)
    drv.wait_gone(dialog, 10000)
    assert p.binds() == [f"1 {GIG}", f"1 {USB}", "1 Wireless USB Adapter"]
    p.wait_list()
    p.expect(*listed(4, 5, "5:Wireless USB Adapter"))
    p.agent.unload()


def test_interfaces_service_stopped(sim, agents, drv):
    p = Page(sim, agents, scenario="not-started.scn")
    p.expect("10:ZorvanHService is not started!")
    p.buttons("nnnn")  # Refresh stays
    sim("start-service")
    # The configuration watcher finds the service's event within 2 s and lists the page again.
    p.expect(f"4:{GIG}", seconds=5)
    lists = sim.count(1)
    drv.press(p.hwnd, ids.IDC_REFRESH_INTERFACES)
    sim.wait_count(1, lists + 1)
    p.wait_list()
    p.expect(f"4:{GIG}")
    p.buttons("nyny")
    p.agent.unload()


def test_interfaces_bind_selected(sim, agents, drv):
    p = Page(sim, agents, "request-gate 5 closed")
    p.down(3, USB)
    p.buttons("ynyy")
    p.run(ids.IDC_BIND_SELECTED, BINDING)
    assert p.binds() == [f"1 {USB}"]
    p.expect(*listed(2, 5))
    assert p.selected() == [USB], "the selection moved"
    p.buttons("nyyy")
    drv.press(p.hwnd, ids.IDC_UNBIND_SELECTED)
    p.box(UNBINDING, ASKED, ids.IDNO, UNBINDING)  # No sends nothing
    p.buttons("nyyy")
    assert sim.count(5) == 1, "No still sent request 5"
    p.run(ids.IDC_UNBIND_SELECTED, UNBINDING)
    assert p.binds()[-1] == f"0 {USB}"
    p.expect(*listed(2, 3))
    sim.ledger_clean(2)
    p.agent.unload()
