# The agent under a person's hands: X's own pointer and keyboard. Menus and
# the taskbar have no X name: a click there waits until X has the pointer in
# a window without one, not in an agent's window.
import os
import signal

import ids
from conftest import MAIN_WINDOW, MENU_CLASS, TITLE, until
from wine import AGENT_KEY

STATS, CLEAR, ASKED = "ZorvanHAgent Interface Statistics", "ZorvanHAgent Clear Statistics...", TITLE + " Monitor Properties"
LAN, LAN_ID = "Gigabit Ethernet Adapter (PCI)", "{4D36E972-E325-11CE-BFC1-08002BE10318}"
WLAN, WLAN_ID = "Wireless LAN Adapter 802.11g", "{8C2B1A44-7F0E-4B6A-9E31-2D5C0A7B1E90}"
AT = 300, 200, 500, 328


MONITOR_FLAGS = dict(HideWindowTitle=0, ShowWindowOnTop=1, ShowMaxSpeedText=1, ShowCurPeakText=1, ShowMaxPeakText=1,
                     EnableHorizontalLines=1, EnableVerticalLines=0, EnableTimeArrow=1, EnableConnectionTimeText=0,
                     DontConsiderHardwareHeaders=1, EnableBoldTextsOnWindow=0, MakeWindowTrasparentForMouse=0,
                     MakeSendReceiveScaleEqual=0, PopupWhenConnected=0, HideWhenDisconnected=0, EnableBytesPerSecond=1)


def place_monitor(prefix, subkey, interface_id, rect, *flags):
    """A stored monitor at rect (left, top, right, bottom) with the named flags on."""
    size = b"\1\0\0\0" + b"".join(v.to_bytes(4, "little", signed=True) for v in rect)
    prefix.reg_import(f"[HKEY_LOCAL_MACHINE\\{AGENT_KEY[5:]}\\Monitors\\{subkey}]\n"
                      f'"Name"="{interface_id}"\n"SizePositionWindow"=hex:{size.hex(",")}\n' +
                      "".join(f'"{n}"=hex:0{int(v or n in flags)}\n' for n, v in MONITOR_FLAGS.items()))


def open_monitor(agents, position, title):
    agents.choose(*[ids.VK_DOWN] * 3, ids.VK_RIGHT, *[ids.VK_DOWN] * position, ids.VK_RETURN)
    agents.drv("wait-shown", title, timeout=8000, what=f'no monitor "{title}" on show')


def ctl(names, group=""):
    return [getattr(ids, n if n.startswith("ID") else f"IDC_{group}{n}") for n in names.split()]


def rect(drv, window):
    return tuple(map(int, drv("window-rect", window).split()))


def shown(drv, caption=MAIN_WINDOW):
    return [w["visible"] for w in drv.windows() if w["caption"] == caption] == ["visible"]


def menu(drv):
    return next((w["hwnd"] for w in drv.windows() if w["cls"] == MENU_CLASS and w["visible"] == "visible"), None)


def icon(drv):
    l, t, r, b = map(int, drv("tooltips", f"{TITLE} is enabled").splitlines()[0].split())
    return (l + r) // 2, (t + b) // 2


def tray_menu(hand, drv):
    """A right click on the icon opens the menu at the pointer. Wine moves a menu
    that would leave the screen in, rather than flipping it, and above the taskbar."""
    x, y = icon(drv)
    hand.click(x, y, "", 3)
    m = until(lambda: menu(drv), 5)
    assert m, "no menu after a right click on the icon"
    l, t, r, b = rect(drv, f"hwnd:{m}")
    assert (x in (l, r) or r == 1280 and l <= x) and (y in (t, b) or b in (800, 780)), \
        f"menu {l, t, r, b} is not at the pointer {x},{y}"
    return f"hwnd:{m}", (l, t, r, b)


def open_prefs(hand, drv, *keys, how=None):
    m, (l, t, r, b) = tray_menu(hand, drv)
    if keys:
        hand.focus(m)
        hand.keys(*keys)
    else:  # the second of seven items and three separators, whose heights the banner stretches alike
        hand.click(l + 60, t + (b - t) * 175 // 1000, "")
    assert until(lambda: shown(drv), 5), f"{how or 'a click on &Preferences...'} did not show the preferences"
    hand.wait_keys(MAIN_WINDOW)


def away(hand, drv, key, how=None):
    hand.keys(key)
    assert until(lambda: not shown(drv), 5), f"{how or key} left the preferences on screen"


def walk(hand, drv, window, key, *controls):
    for c in controls:
        hand.keys(key)
        drv("focus", window, c, timeout=2000, what=f"{key} did not bring the focus to {c}")


def test_input_tray_menu(sim, agents, hand, drv, prefix):
    sim.start("default.scn")
    agent = agents.start_on_tray()
    for keys, how in (((), None), (("Down", "Down", "Return"), "Down, Down, Enter"), (("p",), "the letter P")):
        open_prefs(hand, drv, *keys, how=how)
        away(hand, drv, "Escape")
    m, _ = tray_menu(hand, drv)
    prefix.shot("input-tray-menu")
    hand.focus(m)
    hand.keys("Escape")
    assert until(lambda: not menu(drv), 3), "Escape left the menu open"
    assert not until(lambda: shown(drv), 1.5), "Escape opened the preferences"  # over a time a command takes
    assert not drv.ok("wait-window", STATS, timeout=1000), "Escape opened the statistics"
    agent.unload()


def open_stats(hand, drv):
    hand.click(*icon(drv), "", 1, 2)
    drv("wait-shown", STATS, timeout=8000, what="a double click on the icon opened no statistics")
    drv("wait-active", STATS, timeout=3000, what="the statistics window is not in front")


def test_input_statistics(sim, agents, hand, drv, prefix):
    sim.start("statistics.scn")
    agent = agents.start_on_tray()
    open_stats(hand, drv)

    def live():
        drv.wait_text(STATS, ids.IDC_STATS_CONNECTION_COMBO, "Dial-in", 8000)
        drv("wait-enabled", STATS, ids.IDC_STATS_CLEAR_CURRENT, "on", what='"Clear C&urrent" stays disabled')
    live()
    topmost = lambda: bool(int(drv("exstyle", STATS), 0) & ids.WS_EX_TOPMOST)
    assert not topmost(), "the statistics window starts on top"
    for on in (True, False):
        l, t, r, b = rect(drv, drv.control(STATS, ids.IDC_STATS_TOPMOST_PIN))
        hand.click((l + r) // 2, (t + b) // 2, STATS)
        assert until(lambda: topmost() == on, 3), f"a click on the pin left the window {'below others' * on or 'on top'}"
        if on:
            prefix.shot("input-statistics-pinned")
    # The clicked pin has the focus; Tab walks down the columns and round to it, Shift+Tab walks back.
    drv("focus", STATS, ids.IDC_STATS_TOPMOST_PIN, timeout=2000, what="the clicked pin has no focus")
    walk(hand, drv, STATS, "Tab", *ctl("INTERFACE_COMBO CREATED LAST_CLEARED LAST_MODIFIED OVERALL_SUMMARY CONNECTION_COUNT "
                                       "OVERALL_SENT OVERALL_RECEIVED CONNECTION_COMBO CURRENT_SUMMARY CURRENT_SENT "
                                       "CURRENT_RECEIVED LINK_SPEED AVERAGE_SPEED IDOK CLEAR_OVERALL CLEAR_CURRENT "
                                       "TOPMOST_PIN", "STATS_"))
    walk(hand, drv, STATS, "shift+Tab", *ctl("CLEAR_CURRENT CLEAR_OVERALL IDOK AVERAGE_SPEED", "STATS_"))
    # Alt+O asks first: Tab walks the question, Alt+A ticks its box, Escape cancels and Enter answers OK.
    before = sim.count(3)
    for answer in ("Escape", "Return"):
        hand.keys("alt+o")
        hand.wait_keys(CLEAR)
        if answer == "Escape":
            walk(hand, drv, CLEAR, "Tab", *ctl("CLEAR_ALSO IDOK IDCANCEL CLEAR_TEXT CLEAR_ALSO"))
            hand.keys("alt+a")
            assert until(lambda: drv.send(drv.control(CLEAR, ids.IDC_CLEAR_ALSO), ids.BM_GETCHECK) == "0x1", 3), \
                "Alt+A did not tick the box"
        hand.keys(answer)
        drv.wait_gone(CLEAR, 3000)
    sim.wait_count(3, before + 1)
    assert sim.count(3) == before + 1, "Escape cleared the statistics too"
    live()
    for key, answer, gone in (("alt+u", "alt+c", CLEAR), ("alt+h", None, STATS)):
        hand.wait_keys(STATS)
        hand.keys(key)
        if answer:
            hand.wait_keys(CLEAR)
            hand.keys(answer)
        drv.wait_gone(gone)
    open_stats(hand, drv)
    hand.focus(STATS)
    hand.keys("Escape")
    drv.wait_gone(STATS)
    agent.unload()


def stored(prefix, want):
    """The monitor's stored place: a word that turns 0 once it was moved, then four integers."""
    data = "REG_BINARY " + b"".join(v.to_bytes(4, "little") for v in (0, *want)).hex().upper()
    seen = lambda: prefix.reg_value(AGENT_KEY + r"\Monitors\0000", "SizePositionWindow")
    assert until(lambda: seen() == data, 3), f"{want} is stored as {seen()}"


def lit(prefix, drv, shot, count):
    l, t, r, b = rect(drv, LAN)
    n = lambda: prefix.lit(prefix.shot(shot), r - 66, r - 6, b - 34)
    assert until(lambda: n() >= count, 8, 0.2), f"under {count} lit pixels at the monitor's right edge"


def carry(hand, drv, title, x, y, dx, dy, held):
    """The window pressed at x,y and carried by dx,dy in four steps, each awaited until it
    has followed. Under wine's virtual desktop a pointer event is mapped with wine's newest
    idea of the window's place, while X measured it against the place X had: a step that
    comes before the last one reached X is counted twice. Windows measures against the
    place at the reading, so a hand cannot outrun the window there. The held process is
    stopped until X has the press and the first step, as from a hand quicker than a busy agent."""
    l, t, r, b = rect(drv, title)
    step = lambda i: (x + dx * i // 4, y + dy * i // 4)
    hand.move(x, y, title)
    os.kill(held, signal.SIGSTOP)
    try:
        hand.x("mousedown", 1, "mousemove", *step(1))
        assert until(lambda: hand.prefix.xpointer()[:2] == step(1), 1.25), "X did not move the pointer"
    finally:
        os.kill(held, signal.SIGCONT)
    try:
        for i in (1, 2, 3, 4):
            hand.x("mousemove", *step(i))
            want = tuple(v + (dx, dy)[k % 2] * i // 4 for k, v in enumerate((l, t, r, b)))
            assert until(lambda: rect(drv, title) == want, 3), \
                f'step {i} took "{title}" to {rect(drv, title)}, X\'s pointer {hand.prefix.xpointer()}'
    finally:
        hand.x("mouseup", 1)


# Dragged by its diagram, sized by its border, a tip on a resting pointer, a menu
# where the right button went down, whose "&Properties" shows the Monitor(s) page.
def test_input_monitor(sim, agents, hand, drv, prefix):
    sim.start("default.scn", "set-interface lan rx-rate=5000000 tx-rate=2000000")
    place_monitor(prefix, "0000", LAN_ID, AT)
    agent = agents.start_on_tray()
    open_monitor(agents, 0, LAN)
    assert rect(drv, LAN) == AT
    lit(prefix, drv, "input-monitor-shown", 1)  # a hand drags what it sees, X may not show it yet
    # Held as the button goes down and the pointer steps: the window keeps the pressed point under it.
    carry(hand, drv, LAN, 400, 280, 100, 50, agent.pid)
    stored(prefix, (400, 250, 600, 378))
    hand.drag(LAN, 598, 376, 698, 426)  # the bottom right corner of the border
    assert until(lambda: rect(drv, LAN) == (400, 250, 700, 428), 3), f"sized by 100,50 it is {rect(drv, LAN)}"
    stored(prefix, (400, 250, 700, 428))
    lit(prefix, drv, "input-monitor-sized", 2)
    hand.move(560, 330)
    hand.x("mousemove", 561, 331)
    drv("wait-tip", LAN, what="no tip on a pointer resting on the monitor")
    hand.drag(LAN, 450, 300, 480, 320, 3)
    m = until(lambda: menu(drv), 5)
    assert m and rect(drv, f"hwnd:{m}")[:2] == (450, 300), "no menu where the right button went down"
    hand.click(450 + 30, 300 + 12, "")
    assert until(lambda: shown(drv), 5), '"&Properties" did not show the preferences'
    page = show_page(drv, "Monitor(s) Options")
    chosen = lambda: [r.split("\t")[4] for r in drv("lv-rows", page, ids.IDC_MON_INTERFACES).splitlines()
                      if r.split("\t")[1] == "1"]
    assert until(lambda: chosen() == [LAN], 10), f"the page has {chosen()} chosen"
    agent.unload()


# A monitor transparent for the mouse over another: a double click reaches the one
# beneath; once the pointer has left for a tick of its timer it is whole again.
def test_input_transparent(sim, agents, hand, drv, prefix):
    path = prefix.tmp / "transparent.scn"
    path.write_text("first-word 0x00010002\n" + "".join(
        f'add-interface {k} name="{n}" id={i} flags=supported,connected,bound,binding-active {r} connections=1\n'
        for k, n, i, r in (("lan", LAN, LAN_ID, "rx-rate=5000000 tx-rate=2000000"),
                           ("wlan", WLAN, WLAN_ID, "rx-rate=900000 tx-rate=150000"))))
    sim.start(path)
    place_monitor(prefix, "0000", LAN_ID, AT, "MakeWindowTrasparentForMouse")
    place_monitor(prefix, "0001", WLAN_ID, AT)
    agent = agents.start_on_tray()
    open_monitor(agents, 1, WLAN)
    open_monitor(agents, 0, LAN)
    region = lambda: drv("region", LAN).strip()
    assert region() == "none", f"the monitor has a region before the pointer came: {region()}"
    hand.move(400, 280)
    hand.x("mousemove", 401, 281)
    assert until(lambda: region() not in ("none", ""), 3), "the pointer on the monitor left it whole"
    # Every motion over it cuts a hole, the ones on the way in too: the click waits until X
    # routes the pixel under the pointer to the monitor beneath, as a resting hand would.
    hand.click(401, 281, WLAN, 1, 2)
    caption = lambda t: int(drv("style", t), 0) & ids.WS_CAPTION == ids.WS_CAPTION
    assert until(lambda: not caption(WLAN), 5), "the double click did not reach the monitor beneath"
    assert caption(LAN), "the transparent monitor took the double click"
    hand.move(700, 600)
    assert until(lambda: region() == "none", 3), f"away from the pointer the monitor keeps its hole: {region()}"
    agent.unload()


def show_page(drv, group):
    """The page of that group caption, alone on show."""
    states = lambda: [c["visible"] for c in drv.children(MAIN_WINDOW)
                      if c["id"] == str(ids.IDC_PAGE_GROUP) and c["caption"] == group]
    assert until(lambda: states() == ["visible"], 3), f'page "{group}" is {states()}, not one page on show'
    return "hwnd:" + next(c["hwnd"] for c in drv.children(MAIN_WINDOW) if c["cls"] == "#32770" and c["visible"] == "visible")


# Tab and Shift+Tab walk the tree, the page and "&Close" round, the arrows choose a page,
# each page's underlined letters press its buttons; Alt+C, Enter and Escape put it away.
def test_input_preferences(sim, agents, hand, drv):
    sim.start("default.scn")
    agent = agents.start_on_tray()
    open_prefs(hand, drv)
    drv("focus", MAIN_WINDOW, ids.IDC_MAIN_CLOSE, timeout=2000, what='the preferences open without the focus on "&Close"')
    walk(hand, drv, MAIN_WINDOW, "Tab", *ctl("PAGE_TREE ENABLE_START START_DISABLED START_MONITORS START_STATISTICS "
                                             "DATA_FOLDER DATA_BROWSE HIDE_MS WINDOW_ON_TOP AVERAGE_IN_BYTES "
                                             "SPEED_IN_BYTES NO_HARDWARE_HEADERS CUMULATIVE HOLD_SLIDER MAIN_CLOSE PAGE_TREE"))
    walk(hand, drv, MAIN_WINDOW, "shift+Tab", *ctl("MAIN_CLOSE HOLD_SLIDER CUMULATIVE"))
    walk(hand, drv, MAIN_WINDOW, "Tab", *ctl("HOLD_SLIDER MAIN_CLOSE PAGE_TREE"))
    # Down shows the Monitor(s) page, alive once its list has its first interface chosen.
    hand.keys("Down")
    page = show_page(drv, "Monitor(s) Options")
    drv("wait-enabled", page, ids.IDC_MON_CHOOSE, "on", what='"Ch&oose..." stays disabled')
    walk(hand, drv, MAIN_WINDOW, "Tab", *ctl("INTERFACES TRANSPARENCY FLAGS COLORS CHOOSE DEFAULTS", "MON_"),
         *ctl("MAIN_CLOSE PAGE_TREE"))
    for key, dialog, answer in (("alt+o", "Color", "Escape"), ("alt+r", ASKED, "n")):
        hand.wait_keys(MAIN_WINDOW)
        hand.keys(key)
        hand.wait_keys(dialog)
        hand.keys(answer)
        drv.wait_gone(dialog, 3000)
    hand.wait_keys(MAIN_WINDOW)
    drv("focus", MAIN_WINDOW, ids.IDC_MON_DEFAULTS, timeout=2000, what='the focus is not back on "&Restore Defaults"')
    # A button's press made "&Apply" and "Ca&ncel" live and Tab reaches them; Alt+N cancels and they go dead.
    walk(hand, drv, MAIN_WINDOW, "Tab", *ctl("APPLY CANCEL", "MON_"))
    hand.keys("alt+n")
    drv("wait-enabled", page, ids.IDC_MON_APPLY, "off", timeout=3000, what='Alt+N left "&Apply" enabled')
    walk(hand, drv, MAIN_WINDOW, "shift+Tab", *ctl("DEFAULTS CHOOSE", "MON_"))
    walk(hand, drv, MAIN_WINDOW, "Tab", *ctl("MON_DEFAULTS MAIN_CLOSE PAGE_TREE"))
    # Two pages down, Alt+R lists the interfaces again; the button goes dead meanwhile, the keyboard must not.
    hand.keys("Down")
    page = show_page(drv, "Network Interface(s)")
    refresh = lambda: drv("wait-enabled", page, ids.IDC_REFRESH_INTERFACES, "on", what="the refresh stays disabled")
    refresh()
    before = sim.count(1)
    hand.keys("alt+r")
    sim.wait_count(1, before + 1)
    refresh()
    drv("focus", MAIN_WINDOW, timeout=2000, what="the refresh left no control with the focus")
    away(hand, drv, "alt+c", "Alt+C")
    open_prefs(hand, drv)
    walk(hand, drv, MAIN_WINDOW, "Tab", ids.IDC_PAGE_TREE)
    away(hand, drv, "Return", "Enter on the tree")
    open_prefs(hand, drv)
    away(hand, drv, "Escape")
    agent.unload()
