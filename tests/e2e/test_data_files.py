"""Data-files operations from the General page's "Browse...". The folder
browser opens on the current folder, which the simulator names with a
trailing backslash, so its OK gives a different path."""
import re

import ids
from conftest import MAIN_WINDOW, TITLE, until
from wine import AGENT_KEY

CHOICE = "ZorvanHAgent Data Files Operation"
PROGRESS = "ZorvanH Agent is working, wait please..."
BROWSER = "Browse for Folder"
DONE = "Operation complete, successfully."
SELECT = "\nDo you want to select (Data Files or(and) Configuration Information)?"
FOLDER = "C:\\windows\\system32\\"
SPEED = AGENT_KEY + r"\StatisticWindow", "SpeedInBytesPerSecond"
LAN, LAN_KEY = "Gigabit Ethernet Adapter (PCI)", AGENT_KEY + r"\Monitors\0000"


def open_monitor(agents, position, title):
    agents.choose(*[ids.VK_DOWN] * 3, ids.VK_RIGHT, *[ids.VK_DOWN] * position, ids.VK_RETURN)
    # Made hidden and shown once placed: what the user sees is awaited.
    agents.drv("wait-shown", title, timeout=8000, what=f'no monitor "{title}" on show')


class DataFiles:
    def __init__(self, sim, agents, folder=FOLDER, duration=1500):
        sim.start("default.scn", f"data-settings folder={folder}", f"data-files duration={duration}")
        self.sim, self.drv = sim, agents.drv
        self.agent = agents.start_on_tray()
        # At start-up the General page is the main window's one child dialog.
        self.page = "hwnd:" + next(c["hwnd"] for c in self.drv.children(MAIN_WINDOW) if c["cls"] == "#32770")

    def browse(self):
        """The browser's OK on the current folder."""
        self.drv.press(self.page, ids.IDC_DATA_BROWSE)
        self.drv.wait_window(BROWSER)
        for press in (1, 2, 3):
            # A press read before the browser has checked its preselected
            # folder is dropped and leaves it open: only then is OK pressed
            # again (a browser already gone takes no press).
            if not self.drv.ok("press", BROWSER, ids.IDOK) or self.drv.ok("wait-gone", BROWSER, timeout=3000):
                return
            self.drv.note(f"press {press} on the browser's OK was lost")

    def open_choice(self):
        self.browse()
        self.drv.wait_window(CHOICE)

    def choose(self, mode):
        self.open_choice()
        if mode != ids.IDC_DF_CHANGE:
            self.drv.press(CHOICE, mode, click=True)
        self.drv.press(CHOICE, ids.IDOK)
        self.drv.wait_window(PROGRESS)

    def box(self, text, answer=ids.IDOK):
        """The agent's message box says the text; answered unless answer is None."""
        box = self.drv.msgbox(TITLE, timeout=15000)
        assert box["text"] == text, f'message box says "{box["text"]}", not "{text}"'
        if answer:
            self.drv.press(TITLE, answer, msgbox=True)
        return box

    def service(self, *parts):
        got = self.sim("data-files")
        assert all(p in got for p in parts), f'simulator reports "{got}", wanted {parts}'
        return got

    def check(self, control):
        return int(self.drv.send(self.drv.control(CHOICE, control), ids.BM_GETCHECK), 0)

    def click(self, *controls):
        """A clicked radio is checked, a clicked box turned."""
        for control in controls:
            want = 1 if control in (ids.IDC_DF_BACKUP, ids.IDC_DF_CHANGE, ids.IDC_DF_RESTORE) else 1 - self.check(control)
            self.drv.press(CHOICE, control, click=True)
            assert self.check(control) == want, f"a click left {control} at {self.check(control)}, not {want}"

    def no_progress(self):
        assert not self.drv.ok("wait-window", PROGRESS, timeout=1500), "a progress dialog opened"

    def counts(self):
        return [self.sim.count(code) for code in (8, 12, 13)]


def test_data_files_backup_restore(sim, agents, prefix):
    """A backup carries the settings and the monitors; the restore brings
    back a changed setting, and an open monitor takes its restored look.
    The registry goes back to 30 % behind the monitor's back, so only the
    restore's reload can bring it to the 60 % the backup carries."""
    prefix.reg_import(f'[{LAN_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")}]\n'
                      '"Name"="{4D36E972-E325-11CE-BFC1-08002BE10318}"\n"TransparentLevel"=dword:0000001e\n'
                      '"SizePositionWindow"=hex:01,00,00,00,10,04,00,00,3c,00,00,00,d8,04,00,00,bc,00,00,00')
    d = DataFiles(sim, agents)
    assert prefix.reg_value(*SPEED) == "REG_BINARY 00"
    open_monitor(agents, 0, LAN)
    assert d.drv("layered", LAN) == "layered 178", "monitor at 30 % is not layered so"
    transparency = lambda level: prefix.reg("add", LAN_KEY, "/v", "TransparentLevel", "/t", "REG_DWORD",
                                            "/d", level, "/f", check=True)
    transparency(60)
    d.choose(ids.IDC_DF_BACKUP)
    d.box(DONE)
    assert "snapshot=0 " not in d.service("last=12 flags=6 "), "the backup carried no snapshot"
    transparency(30)
    d.drv.press(d.page, ids.IDC_SPEED_IN_BYTES, click=True)
    assert prefix.reg_value(*SPEED) == "REG_BINARY 01"
    assert d.drv("layered", LAN) == "layered 178", "the monitor changed before the restore"
    d.choose(ids.IDC_DF_RESTORE)
    d.box(DONE)
    d.service("last=13 flags=3 ")
    assert [prefix.reg_value(*SPEED), prefix.reg_value(LAN_KEY, "TransparentLevel")] == \
        ["REG_BINARY 00", "REG_DWORD 0x3c"], "the restore did not bring the settings back"
    assert until(lambda: d.drv("layered", LAN) == "layered 102", 5), \
        f'the open monitor kept "{d.drv("layered", LAN)}"'
    prefix.shot("data-files-restored-monitor")
    d.agent.unload()


def test_data_files_cancel(sim, agents, prefix):
    d = DataFiles(sim, agents, duration=60000)
    d.choose(ids.IDC_DF_CHANGE)
    bar = d.drv.control(PROGRESS, ids.IDC_DF_PROGRESS)
    assert until(lambda: int(d.drv.send(bar, ids.PBM_GETPOS), 0), 5), "the progress bar stays at 0"
    prefix.shot("data-files-progress")
    d.drv.press(PROGRESS, ids.IDCANCEL)
    d.box("Do you want to cancel operation?", ids.IDYES)
    d.box("Operation has been canceled!")
    d.service("cancelled=1", "last=8 flags=1 ")
    d.drv.wait_gone(PROGRESS)
    d.agent.unload()


def test_data_files_identical_path(sim, agents, prefix):
    """The current folder named without a trailing backslash comes back as
    it is: the message shows the whole folder, and nothing else happens."""
    d = DataFiles(sim, agents, folder="C:\\windows\\system32")
    d.browse()
    prefix.shot("data-files-identical-path")
    d.box('Current and Selected path are identical:\n"C:\\windows\\system32"\nThey must be different!')
    assert not d.drv.ok("wait-window", CHOICE, timeout=1500), "the action dialog opened"
    d.agent.unload()


def test_data_files_choice_empty(sim, agents, prefix):
    """OK with no content chosen asks: Yes goes back to the action dialog,
    where a choice then starts the operation; No ends it with nothing sent.
    Cancel leaves the folder, the settings and the service as they were."""
    d = DataFiles(sim, agents)
    d.open_choice()
    d.click(ids.IDC_DF_RESTORE, ids.IDC_DF_RESTORE_CONFIG, ids.IDC_DF_RESTORE_DATA)
    d.drv.press(CHOICE, ids.IDOK)
    d.box("For restore backup you must select which information you want to restore" + SELECT, ids.IDYES)
    d.drv.wait_window(CHOICE, timeout=1000)  # Yes keeps the action dialog
    d.no_progress()
    assert [d.check(ids.IDC_DF_RESTORE), d.check(ids.IDC_DF_RESTORE_DATA)] == [1, 0], "Yes changed the choices"
    assert d.counts() == [0, 0, 0], "Yes sent an operation"
    d.click(ids.IDC_DF_RESTORE_DATA)
    d.drv.press(CHOICE, ids.IDOK)
    d.drv.wait_window(PROGRESS)
    d.box(DONE)
    d.service("last=13 flags=1 ")

    d.open_choice()
    d.click(ids.IDC_DF_BACKUP, ids.IDC_DF_STORE_CONFIG, ids.IDC_DF_STORE_DATA)
    d.drv.press(CHOICE, ids.IDOK)
    d.box("For backup you must select which information you want to store" + SELECT, ids.IDNO)
    d.drv.wait_gone(CHOICE, timeout=3000)
    d.no_progress()
    assert d.counts() == [0, 0, 1], "No sent an operation"

    settings, service = prefix.reg("query", AGENT_KEY, "/s"), sim("data-files")
    d.open_choice()
    d.click(ids.IDC_DF_BACKUP, ids.IDC_DF_CLEAR_AFTER)
    d.drv.press(CHOICE, ids.IDCANCEL)
    d.drv.wait_gone(CHOICE, timeout=3000)
    d.no_progress()
    assert [d.counts(), sim("data-files")] == [[0, 0, 1], service], "Cancel reached the service"
    assert prefix.reg("query", AGENT_KEY, "/s") == settings, "Cancel changed the settings"
    assert d.drv.text(d.page, ids.IDC_DATA_FOLDER) == FOLDER
    d.agent.unload()


def test_data_files_finish_under_question(sim, agents, prefix):
    """The operation ends while the cancel question is open: the result
    waits for the answer, and whatever the answer, it is the operation's own."""
    d = DataFiles(sim, agents, duration=5000)
    boxes = lambda: sum(w["cls"] == "#32770" and w["caption"] == TITLE and w["visible"] == "visible"
                        for w in d.drv.windows())
    for answer in (ids.IDYES, ids.IDNO):
        d.choose(ids.IDC_DF_CHANGE)
        d.drv.press(PROGRESS, ids.IDCANCEL)
        d.box("Do you want to cancel operation?", None)
        # The end of the operation before is not taken for this one's.
        assert until(lambda: d.sim("data-files").startswith("running=1 last=8 "), 5), d.sim("data-files")
        assert until(lambda: re.match("running=0 last=8 .* status=0 ", d.sim("data-files")), 10), d.sim("data-files")
        assert not until(lambda: boxes() != 1, 2), f"{boxes()} message boxes where the question alone should be"
        prefix.shot(f"data-files-finished-under-question-{answer}")
        d.drv.press(TITLE, answer, msgbox=True)
        result = d.box(DONE, None)
        # The icon is judged from screen pixels; only a confident answer counts.
        assert result["icon"] in ("unknown", "asterisk"), f"the result shows the {result['icon']} icon"
        position = d.drv.send(d.drv.control(PROGRESS, ids.IDC_DF_PROGRESS), ids.PBM_GETPOS)
        assert position == "0x64", f"the progress bar stands at {position} under the result"
        if answer == ids.IDYES:
            d.drv("wait-enabled", PROGRESS, ids.IDCANCEL, "off", timeout=2000, what='Yes left "&Cancel" enabled')
        d.drv.press(TITLE, ids.IDOK, msgbox=True)
        d.drv.wait_gone(PROGRESS)
    # The service was never asked to cancel an operation that had ended.
    d.service("cancelled=0")
    # Nothing is left busy: the tray's menu opens again.
    assert agents.keys(agents.open_menu(), ids.VK_ESCAPE), "the menu closed by itself"
    sim.ledger_clean(2)
    d.agent.unload()
