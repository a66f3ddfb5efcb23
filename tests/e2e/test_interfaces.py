# The Interface(s) page: its lines, the buttons per selection, binds behind
# the progress dialog, each held by the simulator until let through.
import ids
import conftest
from conftest import LAN as GIG, answer, WLAN, child, enabled, open_preferences, until

BINDING, UNBINDING = "ZorvanH Agent is binding...", "ZorvanH Agent is unbinding..."
ASKED = "If you are do unbind, you are posibble lost of statisic active network connection(s).  Are you sure?"
USB, MODEM = "USB Ethernet Adapter", "Dial-up Modem Adapter"
FAILED = "Error occured during the operation."


def listed(gig, usb, *more):
    # Supported first, among them not present first, then by name.
    return ["6:Fast Ethernet 10/100 PCI Adapter", "11:Docking Station Ethernet", f"{gig}:{GIG}", f"{usb}:{USB}",
            f"5:{WLAN}", *more, f"7:{MODEM}", "1:WAN Miniport (PPTP)"]


class Page(conftest.Page):
    def __new__(cls, sim, agents, *commands, scenario="interfaces.scn"):
        # Else on the agent already running.
        if scenario:
            sim.start(scenario, *commands)
        agent = scenario and agents.start_on_tray()
        page = super().__new__(cls, agents.drv, open_preferences(agents, 3), ids.IDC_INTERFACE_LIST)
        page.sim, page.agent = sim, agent
        page.listed()
        return page

    def buttons(self, want, selected=None):
        # Bind selected, unbind selected, bind all, unbind all: y or n each
        # (off while a configuration event lists the page again).
        got = lambda: "".join("ny"[enabled(self.drv, self, b)] for b in (
            ids.IDC_BIND_SELECTED, ids.IDC_UNBIND_SELECTED, ids.IDC_BIND_ALL, ids.IDC_UNBIND_ALL))
        assert until(lambda: got() == want, 3), f"buttons {got()} at {self.lines(True)}"
        assert selected in (None, *self.lines(True)), self.lines(True)

    def down(self, n, name):
        for _ in range(n):
            self.drv("key", child(self.drv, self, ids.IDC_INTERFACE_LIST), ids.VK_DOWN)
        assert until(lambda: self.lines(True) == [name], 2), self.lines(True)

    def progress(self, caption):
        dialog = until(lambda: [w["hwnd"] for w in self.drv.windows() if w["caption"] == caption and
                                f"\t{ids.IDC_BIND_BAR}\t" in self.drv("list-children", "hwnd:" + w["hwnd"])], 10, 0.1)
        assert dialog, f'no progress dialog "{caption}"'
        return "hwnd:" + dialog[0]

    def bar(self, dialog):
        return int(self.drv.send(child(self.drv, dialog, ids.IDC_BIND_BAR), ids.PBM_GETPOS), 16)

    def binds(self):
        # "<bind> <name>" of every request 5
        return [" ".join(b.split(" ", 2)[::2]) for b in self.sim("bind-requests").splitlines()]

    def run(self, button, caption):
        self.drv.press(self, button)
        if caption == UNBINDING:
            answer(self.drv, caption, ASKED, ids.IDYES)
        dialog = self.progress(caption)
        self.sim("request-gate", 5, "step")
        self.drv.wait_gone(dialog, 10000)
        self.listed()


def test_interfaces_binds(sim, agents, drv, prefix):
    p = Page(sim, agents, "request-gate 5 closed")
    p.expect(listed(2, 3))
    prefix.shot("interfaces-page")
    assert not enabled(drv, p, ids.IDC_INTERFACE_PROPERTIES)
    p.buttons("nyyy", "Fast Ethernet 10/100 PCI Adapter")
    p.down(2, GIG)
    p.buttons("ynyy")
    p.down(1, USB)
    # A bind and an unbind of the selected line, which stays selected; No sends nothing.
    p.run(ids.IDC_BIND_SELECTED, BINDING)
    p.expect(listed(2, 5))
    p.buttons("nyyy", USB)
    drv.press(p, ids.IDC_UNBIND_SELECTED)
    answer(drv, UNBINDING, ASKED, ids.IDNO, UNBINDING)
    p.buttons("nyyy")
    assert sim.count(5) == 1
    p.run(ids.IDC_UNBIND_SELECTED, UNBINDING)
    assert p.binds() == [f"1 {USB}", f"0 {USB}"]
    p.expect(listed(2, 3))
    p.buttons("ynyy", USB)
    p.down(2, MODEM)
    p.buttons("nnyy")
    drv.press(p, ids.IDC_BIND_ALL)
    dialog = p.progress(BINDING)
    assert drv.text(dialog, ids.IDC_BIND_TEXT) == "ZorvanH Agent is binding ZorvanHelper Miniport to:"
    # The agent shows the end for half a second; the driver waits for it itself.
    for name, bar in ((GIG, 0), (USB, 50), ("Completed", 100)):
        drv.wait_text(dialog, ids.IDC_BIND_NAME, name)
        assert p.bar(dialog) == bar
        sim("request-gate", 5, "step")
    drv.wait_gone(dialog)
    assert p.binds()[2:] == [f"1 {GIG}", f"1 {USB}"]
    p.listed()
    p.expect(listed(4, 5))
    p.buttons("nnny", MODEM)
    sim.ledger_clean(2)
    p.agent.unload()


def test_interfaces_errors(sim, agents, drv):
    # A busy service fails a bind, not repeated.
    p = Page(sim, agents, "fault busy code=5 block=yes times=1")
    drv.press(p, ids.IDC_BIND_ALL)
    answer(drv, BINDING, FAILED + " Do you want to continue?", ids.IDNO, p.progress(BINDING))
    p.listed()
    p.expect(listed(2, 3))
    assert sim.count(5) == 1
    # A failure on the last interface asks nothing; 0xC0FE0018 counts as done.
    sim("fault", "status", "code=5", "interface=wired", "status=0xC0FE0018", "apply=1")
    sim("fault", "status", "code=5", "interface=usb", "status=0xC0FE0001")
    drv.press(p, ids.IDC_BIND_ALL)
    answer(drv, BINDING, FAILED, ids.IDOK, p.progress(BINDING))
    p.listed()
    p.expect(listed(4, 3))
    sim("fault", "status", "code=5", "status=0xC0FE0005", "times=1")
    binds = sim.count(5)
    drv.press(p, ids.IDC_UNBIND_ALL)
    answer(drv, UNBINDING, ASKED, ids.IDYES)
    answer(drv, UNBINDING, "Access denied! For this operation need admin privileges.", ids.IDOK, p.progress(UNBINDING))
    assert sim.count(5) == binds + 1
    p.listed()
    sim.ledger_clean(2)
    p.agent.unload()

