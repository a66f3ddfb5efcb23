# Data-files operations from the General page's "Browse...". The folder
# browser opens on the current folder; its parent is chosen for a different one.
import re

import ids
from conftest import LAN, LAN_ID, MAIN_WINDOW, TITLE, open_monitor, until
from wine import AGENT_KEY

CHOICE, PROGRESS = "ZorvanHAgent Data Files Operation", "ZorvanH Agent is working, wait please..."
BROWSER, DONE, CANCEL = "Browse for Folder", "Operation complete, successfully.", "Do you want to cancel operation?"
SELECT = " you must select which information you want to {}\nDo you want to select (Data Files or(and) " \
         "Configuration Information)?"
FOLDER = "C:\\windows\\system32\\"
SPEED = AGENT_KEY + r"\StatisticWindow", "SpeedInBytesPerSecond"
LAN_KEY = AGENT_KEY + r"\Monitors\0000"


def browse(drv, page, parent=True):
    # "Browse..." and the browser's OK, on the current folder's parent or on itself.
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
        # The choices from the browser, clicked.
        self.browse()
        self.drv.wait_window(CHOICE)
        for c in controls:
            self.drv.press(CHOICE, c, click=True)
        if ok:
            self.drv.press(CHOICE, ok)

    def check(self, control):
        return int(self.drv.send(self.drv.control(CHOICE, control), ids.BM_GETCHECK), 0)

    def box(self, text, answer=ids.IDOK):
        box = self.drv.msgbox(TITLE, timeout=15000)
        assert box["text"] == text, f'message box says "{box["text"]}"'
        if answer:
            self.drv.press(TITLE, answer, msgbox=True)
        return box

    def service(self, *patterns, seconds=0):
        assert until(lambda: all(re.search(p, self.sim("data-files")) for p in patterns), seconds), \
            self.sim("data-files")

    def unchanged(self, prefix, caption, *steps):
        # The steps open no such window and reach neither the service nor the settings.
        state = lambda: (prefix.reg("query", AGENT_KEY, "/s"), self.sim("data-files"),
                         *map(self.sim.count, (8, 12, 13)))
        before = state()
        for step in steps:
            step()
        assert not self.drv.ok("wait-window", caption, timeout=1500), f'"{caption}" opened'
        assert state() == before, "the service or the settings were reached"


def test_data_files(sim, agents, drv, prefix):
    # A backup carries the settings and the monitors; the restore brings back a
    # changed setting, and an open monitor takes its restored look. The registry
    # goes back to 30 % behind the monitor's back, so only the restore's reload
    # can bring it to the 60 % the backup carries.
    prefix.reg_import(f'[{LAN_KEY.replace("HKLM", "HKEY_LOCAL_MACHINE")}]\n"TransparentLevel"=dword:1e\n'
                      f'"Name"="{LAN_ID}"')
    d = DataFiles(sim, agents)
    open_monitor(agents, 0, LAN)
    level = lambda n: prefix.reg("add", LAN_KEY, "/v", "TransparentLevel", "/t", "REG_DWORD", "/d", n, "/f")
    looks = lambda: [prefix.reg_value(*SPEED), drv("layered", LAN), prefix.reg_value(LAN_KEY, "TransparentLevel")]
    seen = looks()
    level(60)
    d.choose(ids.IDC_DF_BACKUP)
    d.box(DONE)
    d.service("last=12 flags=6 ", "snapshot=[1-9]")
    level(30)
    drv.press(d.page, ids.IDC_SPEED_IN_BYTES, click=True)
    seen += looks()
    d.choose(ids.IDC_DF_RESTORE)
    d.box(DONE)
    d.service("last=13 flags=3 ")
    until(lambda: drv("layered", LAN) == "layered 102", 5)
    assert seen + looks() == ["REG_BINARY 00", "layered 178", "REG_DWORD 0x1e", "REG_BINARY 01", "layered 178",
                              "REG_DWORD 0x1e", "REG_BINARY 00", "layered 102", "REG_DWORD 0x3c"], \
        "start, change, restore"
    # OK on the folder the browser opened with is the current folder, however
    # the service spells it: the message shows it, and nothing else happens.
    for folder in (FOLDER[:-1], "C:\\WINDOWS\\System32", FOLDER):
        sim("data-settings", f"folder={folder}")
        sim("signal", "conf")
        drv.wait_text(d.page, ids.IDC_DATA_FOLDER, folder)
        d.unchanged(prefix, CHOICE, lambda: d.browse(parent=False), lambda: d.box(
            f'Current and Selected path are identical:\n"{folder}"\nThey must be different!'))
    # OK with no content chosen asks: Yes goes back to the choices, where one
    # then starts the operation; No ends it. Cancel changes nothing either.
    d.unchanged(prefix, PROGRESS, lambda: d.choose(ids.IDC_DF_RESTORE, ids.IDC_DF_RESTORE_CONFIG,
                                                   ids.IDC_DF_RESTORE_DATA),
                lambda: d.box("For restore backup" + SELECT.format("restore"), ids.IDYES))
    assert [d.check(ids.IDC_DF_RESTORE), d.check(ids.IDC_DF_RESTORE_DATA)] == [1, 0]
    drv.press(CHOICE, ids.IDC_DF_RESTORE_DATA, click=True)
    drv.press(CHOICE, ids.IDOK)
    d.box(DONE)
    d.service("last=13 flags=1 ")
    d.unchanged(prefix, PROGRESS, lambda: d.choose(ids.IDC_DF_BACKUP, ids.IDC_DF_STORE_CONFIG, ids.IDC_DF_STORE_DATA),
                lambda: d.box("For backup" + SELECT.format("store"), ids.IDNO),
                lambda: drv.wait_gone(CHOICE, timeout=3000),
                lambda: d.choose(ids.IDC_DF_BACKUP, ids.IDC_DF_CLEAR_AFTER, ok=ids.IDCANCEL),
                lambda: drv.wait_gone(CHOICE, timeout=3000))
    assert drv.text(d.page, ids.IDC_DATA_FOLDER) == FOLDER
    # A change of folder, the choices' default, cancelled while its bar moves.
    sim("data-files", "duration=60000")
    d.choose()
    bar = drv.control(PROGRESS, ids.IDC_DF_PROGRESS)
    assert until(lambda: int(drv.send(bar, ids.PBM_GETPOS), 0), 5), "the progress bar stays at 0"
    drv.press(PROGRESS, ids.IDCANCEL)
    d.box(CANCEL, ids.IDYES)
    d.box("Operation has been canceled!")
    d.service("cancelled=1", "last=8 flags=1 ")
    drv.wait_gone(PROGRESS)
    d.agent.unload()


def test_data_files_finish_under_question(sim, agents, drv, prefix):
    # The operation ends while the cancel question is open: the result waits for
    # the answer, and whatever the answer, it is the operation's own.
    d = DataFiles(sim, agents, duration=5000)
    boxes = lambda: sum(w["cls"] == "#32770" and w["caption"] == TITLE and w["visible"] == "visible"
                        for w in drv.windows())
    for answer in (ids.IDYES, ids.IDNO):
        d.choose()
        drv.press(PROGRESS, ids.IDCANCEL)
        d.box(CANCEL, None)
        # The end of the operation before is not taken for this one's.
        d.service("^running=1 last=8 ", seconds=5)
        d.service("^running=0 last=8 .* status=0 ", seconds=10)
        assert not until(lambda: boxes() != 1, 2), f"{boxes()} message boxes where the question alone should be"
        drv.press(TITLE, answer, msgbox=True)
        assert d.box(DONE, None)["icon"] in ("unknown", "asterisk")
        assert drv.send(drv.control(PROGRESS, ids.IDC_DF_PROGRESS), ids.PBM_GETPOS) == "0x64"
        if answer == ids.IDYES:
            drv("wait-enabled", PROGRESS, ids.IDCANCEL, "off", timeout=2000, what='Yes left "&Cancel" on')
        drv.press(TITLE, ids.IDOK, msgbox=True)
        drv.wait_gone(PROGRESS)
    # The service was never asked to cancel an operation that had ended;
    # nothing is left busy: the tray's menu opens again.
    d.service("cancelled=0")
    assert agents.keys(agents.open_menu(), ids.VK_ESCAPE), "the menu closed by itself"
    sim.ledger_clean(2)
    d.agent.unload()
