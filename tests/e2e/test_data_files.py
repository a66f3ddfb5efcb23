# Data-files operations from the General page's "Browse...". The folder
# browser opens on the current folder; its parent is chosen for a different one.
import re

import pytest

import ids
from conftest import MAIN_WINDOW, TITLE, open_monitor, until
from wine import AGENT_KEY

CHOICE = "ZorvanHAgent Data Files Operation"
PROGRESS = "ZorvanH Agent is working, wait please..."
BROWSER = "Browse for Folder"
DONE = "Operation complete, successfully."
SELECT = "\nDo you want to select (Data Files or(and) Configuration Information)?"
FOLDER = "C:\\windows\\system32\\"
SPEED = AGENT_KEY + r"\StatisticWindow", "SpeedInBytesPerSecond"
LAN, LAN_KEY = "Gigabit Ethernet Adapter (PCI)", AGENT_KEY + r"\Monitors\0000"


def browse(drv, page, parent=True):
    """"Browse..." and the folder browser's OK, on the current folder's parent
    or on the current folder itself."""
    drv.press(page, ids.IDC_DATA_BROWSE)
    drv.wait_window(BROWSER)
    tree = lambda: next(("hwnd:" + c["hwnd"] for c in drv.children(BROWSER) if c.get("cls") == "SysTreeView32"), None)
    near = lambda item, code=ids.TVGN_PARENT: drv.send(tree(), ids.TVM_GETNEXTITEM, code, item)
    # The browser has selected the current folder once the caret lies below a drive.
    assert until(lambda: tree() and int(near(near(near(0, ids.TVGN_CARET))), 0), 10), "the browser shows no folder"
    if parent:
        drv.send(tree(), ids.TVM_SELECTITEM, ids.TVGN_CARET, near(near(0, ids.TVGN_CARET)))
    drv.press(BROWSER, ids.IDOK)


class DataFiles:
    def __init__(self, sim, agents, folder=FOLDER, duration=1500, *commands):
        sim.start("default.scn", f"data-settings folder={folder}", f"data-files duration={duration}", *commands)
        self.sim, self.drv, self.agent = sim, agents.drv, agents.start_on_tray()
        # At start-up the General page is the main window's one child dialog.
        self.page = "hwnd:" + next(c["hwnd"] for c in self.drv.children(MAIN_WINDOW) if c["cls"] == "#32770")

    def browse(self, parent=True):
        browse(self.drv, self.page, parent)

    def choose(self, *controls, ok=ids.IDOK):
        # The action dialog from the browser, each control clicked (a radio
        # is then checked, a box turned), and ok pressed unless None.
        self.browse()
        self.drv.wait_window(CHOICE)
        for c in controls:
            want = 1 if c in (ids.IDC_DF_BACKUP, ids.IDC_DF_RESTORE) else 1 - self.check(c)
            self.drv.press(CHOICE, c, click=True)
            assert self.check(c) == want, f"a click left {c} at {self.check(c)}, not {want}"
        if ok:
            self.drv.press(CHOICE, ok)

    def check(self, control):
        return int(self.drv.send(self.drv.control(CHOICE, control), ids.BM_GETCHECK), 0)

    def box(self, text, answer=ids.IDOK):
        box = self.drv.msgbox(TITLE, timeout=15000)
        assert box["text"] == text, f'message box says "{box["text"]}", not "{text}"'
        if answer:
            self.drv.press(TITLE, answer, msgbox=True)
        return box

    def service(self, *patterns, seconds=0):
        assert until(lambda: all(re.search(p, self.sim("data-files")) for p in patterns), seconds), \
            f'simulator reports "{self.sim("data-files")}", wanted {patterns}'

    def absent(self, caption):
        assert not self.drv.ok("wait-window", caption, timeout=1500), f'"{caption}" opened'

    def counts(self):
        return [self.sim.count(code) for code in (8, 12, 13)]


# A backup carries the settings and the monitors; the restore brings back a
# changed setting, and an open monitor takes its restored look. The registry
# goes back to 30 % behind the monitor's back, so only the restore's reload
# can bring it to the 60 % the backup carries.
def test_data_files_backup_restore(sim, agents, drv, prefix):
    prefix.reg_import(f'[{LAN_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")}]\n"TransparentLevel"=dword:1e\n'
                      '"Name"="{4D36E972-E325-11CE-BFC1-08002BE10318}"')
    d = DataFiles(sim, agents)
    open_monitor(agents, 0, LAN)
    level = lambda n: prefix.reg("add", LAN_KEY, "/v", "TransparentLevel", "/t", "REG_DWORD", "/d", n, "/f")
    looks = [prefix.reg_value(*SPEED), drv("layered", LAN)]
    level(60)
    d.choose(ids.IDC_DF_BACKUP)
    d.box(DONE)
    d.service("last=12 flags=6 ", "snapshot=[1-9]")
    level(30)
    drv.press(d.page, ids.IDC_SPEED_IN_BYTES, click=True)
    looks += [prefix.reg_value(*SPEED), drv("layered", LAN)]
    d.choose(ids.IDC_DF_RESTORE)
    d.box(DONE)
    d.service("last=13 flags=3 ")
    until(lambda: drv("layered", LAN) == "layered 102", 5)
    looks += [prefix.reg_value(*SPEED), prefix.reg_value(LAN_KEY, "TransparentLevel"), drv("layered", LAN)]
    assert looks == ["REG_BINARY 00", "layered 178", "REG_BINARY 01", "layered 178",
                     "REG_BINARY 00", "REG_DWORD 0x3c", "layered 102"], "speed unit and monitor: start, change, restore"
    d.agent.unload()


def test_data_files_cancel(sim, agents, drv):
    d = DataFiles(sim, agents, duration=60000)
    d.choose()  # a change of folder, the dialog's default
    bar = drv.control(PROGRESS, ids.IDC_DF_PROGRESS)
    assert until(lambda: int(drv.send(bar, ids.PBM_GETPOS), 0), 5), "the progress bar stays at 0"
    drv.press(PROGRESS, ids.IDCANCEL)
    d.box("Do you want to cancel operation?", ids.IDYES)
    d.box("Operation has been canceled!")
    d.service("cancelled=1", "last=8 flags=1 ")
    drv.wait_gone(PROGRESS)
    d.agent.unload()


# OK on the folder the browser opened with is the current folder, however
# the service spells it: the message shows it, and nothing else happens.
@pytest.mark.parametrize("folder", [FOLDER, FOLDER[:-1], "C:\\WINDOWS\\System32"], ids=["backslash", "bare", "case"])
def test_data_files_identical_path(sim, agents, folder):
    d = DataFiles(sim, agents, folder=folder)
    d.browse(parent=False)
    d.box(f'Current and Selected path are identical:\n"{folder}"\nThey must be different!')
    d.absent(CHOICE)
    d.agent.unload()


# OK with no content chosen asks: Yes goes back to the action dialog, where
# a choice then starts the operation; No ends it with nothing sent. Cancel
# leaves the folder, the settings and the service as they were.
def test_data_files_choice_empty(sim, agents, drv, prefix):
    d = DataFiles(sim, agents)
    d.choose(ids.IDC_DF_RESTORE, ids.IDC_DF_RESTORE_CONFIG, ids.IDC_DF_RESTORE_DATA)
    d.box("For restore backup you must select which information you want to restore" + SELECT, ids.IDYES)
    d.absent(PROGRESS)
    assert [d.check(ids.IDC_DF_RESTORE), d.check(ids.IDC_DF_RESTORE_DATA), d.counts()] == [1, 0, [0, 0, 0]], \
        "Yes changed the choices or sent an operation"
    drv.press(CHOICE, ids.IDC_DF_RESTORE_DATA, click=True)
    drv.press(CHOICE, ids.IDOK)
    d.box(DONE)
    d.service("last=13 flags=1 ")
    d.choose(ids.IDC_DF_BACKUP, ids.IDC_DF_STORE_CONFIG, ids.IDC_DF_STORE_DATA)
    d.box("For backup you must select which information you want to store" + SELECT, ids.IDNO)
    drv.wait_gone(CHOICE, timeout=3000)
    before = [prefix.reg("query", AGENT_KEY, "/s"), sim("data-files")]
    d.choose(ids.IDC_DF_BACKUP, ids.IDC_DF_CLEAR_AFTER, ok=ids.IDCANCEL)
    drv.wait_gone(CHOICE, timeout=3000)
    d.absent(PROGRESS)
    assert [prefix.reg("query", AGENT_KEY, "/s"), sim("data-files"), d.counts()] == before + [[0, 0, 1]], \
        "No or Cancel reached the service or the settings"
    assert drv.text(d.page, ids.IDC_DATA_FOLDER) == FOLDER
    d.agent.unload()


# The operation ends while the cancel question is open: the result waits for
# the answer, and whatever the answer, it is the operation's own.
def test_data_files_finish_under_question(sim, agents, drv, prefix):
    d = DataFiles(sim, agents, duration=5000)
    boxes = lambda: sum(w["cls"] == "#32770" and w["caption"] == TITLE and w["visible"] == "visible" for w in drv.windows())
    for answer in (ids.IDYES, ids.IDNO):
        d.choose()  # a change of folder, the dialog's default
        drv.press(PROGRESS, ids.IDCANCEL)
        d.box("Do you want to cancel operation?", None)
        # The end of the operation before is not taken for this one's.
        d.service("^running=1 last=8 ", seconds=5)
        d.service("^running=0 last=8 .* status=0 ", seconds=10)
        assert not until(lambda: boxes() != 1, 2), f"{boxes()} message boxes where the question alone should be"
        prefix.shot(f"data-files-finished-under-question-{answer}")
        drv.press(TITLE, answer, msgbox=True)
        # The icon is judged from screen pixels; only a confident answer counts.
        assert d.box(DONE, None)["icon"] in ("unknown", "asterisk"), "the result shows another icon"
        position = drv.send(drv.control(PROGRESS, ids.IDC_DF_PROGRESS), ids.PBM_GETPOS)
        assert position == "0x64", f"the progress bar stands at {position} under the result"
        if answer == ids.IDYES:
            drv("wait-enabled", PROGRESS, ids.IDCANCEL, "off", timeout=2000, what='Yes left "&Cancel" enabled')
        drv.press(TITLE, ids.IDOK, msgbox=True)
        drv.wait_gone(PROGRESS)
    # The service was never asked to cancel an operation that had ended.
    d.service("cancelled=0")
    # Nothing is left busy: the tray's menu opens again.
    assert agents.keys(agents.open_menu(), ids.VK_ESCAPE), "the menu closed by itself"
    sim.ledger_clean(2)
    d.agent.unload()
