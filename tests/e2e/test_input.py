# The agent under a person's hands: X's own pointer and keyboard. Menus and the
# taskbar have no X name: a click there waits until X has the pointer in a
# window without one rather than in one of the agent's.
import os
import signal

import ids
from conftest import (LAN, LAN_ID, MAIN_WINDOW, STATS_WINDOW as STATS, TITLE, TWO_MONITORS, WLAN_ID, WLAN, menus,
                      open_monitor, page_shown, place_monitor, rect, scenario, until, window_states)
from test_monitors import Diagram
from test_statistics import CLEAR
from wine import AGENT_KEY

ASKED = TITLE + " Monitor Properties"
AT = 300, 200, 500, 328


def ctl(names, group=""):
    return [getattr(ids, n if n[:2] == "ID" else f"IDC_{group}{n}") for n in names.split()]


def shown(drv):
    return window_states(drv, MAIN_WINDOW) == ["visible"]


# The menu opened at x,y. Wine moves one that would leave the screen in, rather than flip it, and above the taskbar.
def menu(drv, x, y):
    m = until(lambda: menus(drv), 5)
    assert m
    l, t, r, b = rect(drv, f"hwnd:{m[0]}")
    assert (x in (l, r) or r == 1280 and l <= x) and (y in (t, b) or b in (800, 780))
    return f"hwnd:{m[0]}", (l, t, r, b)


def icon(drv):
    l, t, r, b = map(int, drv("tooltips", f"{TITLE} is enabled").split()[:4])
    return (l + r) // 2, (t + b) // 2


# The tray menu at the icon, "&Preferences..." chosen by the keys or, without, by a click.
def open_prefs(hand, *keys):
    x, y = icon(hand.drv)
    hand.click(x, y, "", 3)
    m, (l, t, r, b) = menu(hand.drv, x, y)
    if keys:
        hand.focus(m)
        hand.keys(*keys)
    else:
        # The second of seven items and three separators, whose heights the banner stretches alike.
        hand.click(l + 60, t + (b - t) * 175 // 1000, "")
    # The preferences show.
    assert until(lambda: shown(hand.drv), 5), keys
    hand.wait_keys(MAIN_WINDOW)


def away(hand, key):
    hand.keys(key)
    # The key puts the preferences away.
    assert until(lambda: not shown(hand.drv), 5), key


def walk(hand, window, key, *controls):
    for c in controls:
        if key:
            hand.keys(key)
        hand.drv("focus", window, c, timeout=2000, what=f"focus not on {c} after {key}")


def live(drv, window, control, state="on"):
    drv("wait-enabled", window, control, state, what=f"{control} not {state}")


def ready(drv):
    drv.wait_text(STATS, ids.IDC_STATS_CONNECTION_COMBO, "Dial-in", 8000)
    live(drv, STATS, ids.IDC_STATS_CLEAR_CURRENT)


def test_input_statistics(sim, agents, hand, drv, prefix):
    sim.start("statistics.scn")
    agent = agents.start_on_tray()
    hand.click(*icon(drv), "", 1, 2)
    drv("wait-active", STATS, timeout=8000)
    ready(drv)
    topmost = lambda: bool(int(drv("exstyle", STATS), 0) & ids.WS_EX_TOPMOST)
    # It starts off top.
    assert not topmost()
    for on in (True, False):
        l, t, r, b = rect(drv, drv.control(STATS, ids.IDC_STATS_TOPMOST_PIN))
        hand.click((l + r) // 2, (t + b) // 2, STATS)
        # The pin puts it on top, then off.
        assert until(lambda: topmost() == on, 3), on
    # The clicked pin has the focus; Tab and Shift+Tab walk on round the window's ends.
    walk(hand, STATS, None, ids.IDC_STATS_TOPMOST_PIN)
    walk(hand, STATS, "Tab", ids.IDC_STATS_INTERFACE_COMBO)
    walk(hand, STATS, "shift+Tab", *ctl("TOPMOST_PIN CLEAR_CURRENT CLEAR_OVERALL", "STATS_"))
    # Alt+O asks first: Tab walks the question, Alt+A ticks its box, Escape cancels, Enter answers OK.
    before = sim.count(3)
    for answer in ("Escape", "Return"):
        hand.keys("alt+o")
        hand.wait_keys(CLEAR)
        if answer == "Escape":
            walk(hand, CLEAR, "Tab", ids.IDC_CLEAR_ALSO, ids.IDOK)
            hand.keys("alt+a")
            # Alt+A ticks the box.
            assert until(lambda: drv.send(drv.control(CLEAR, ids.IDC_CLEAR_ALSO), ids.BM_GETCHECK) == "0x1", 3)
        hand.keys(answer)
        drv.wait_gone(CLEAR, 3000)
    sim.wait_count(3, before + 1)
    # Only Enter cleared.
    assert sim.count(3) == before + 1
    ready(drv)
    hand.keys("alt+u", to=STATS)
    hand.keys("alt+c", to=CLEAR)
    drv.wait_gone(CLEAR)
    hand.keys("alt+h", to=STATS)
    drv.wait_gone(STATS)
    agent.unload()


def lit(prefix, drv, shot, count):
    Diagram(prefix, drv, LAN).expect(lambda n: n >= count, "no bars", name=shot)


def carry(hand, title, x, y, dx, dy, held):
    # Pressed at x,y and carried by dx,dy in four steps, each awaited until X too has the
    # window there: wine moves it first, and a step X makes before its own move is placed
    # from where X still had the window, so it counts twice. The held process is stopped
    # until X has the press and the first step, as from a hand quicker than it.
    drv, at = hand.drv, rect(hand.drv, title)
    step = lambda i: (x + dx * i // 4, y + dy * i // 4)
    hand.move(x, y, title)
    os.kill(held, signal.SIGSTOP)
    try:
        hand.x("mousedown", 1, "mousemove", *step(1))
        assert until(lambda: hand.prefix.xpointer()[:2] == step(1), 1.25), hand.prefix.xpointer()
    finally:
        os.kill(held, signal.SIGCONT)
    try:
        for i in (1, 2, 3, 4):
            if i > 1:
                hand.x("mousemove", *step(i))
            want = tuple(v + (dx, dy)[k % 2] * i // 4 for k, v in enumerate(at))
            assert until(lambda: rect(drv, title) == want, 3), f"step {i}: {rect(drv, title)}"
            inside = (step(i)[0] - want[0], step(i)[1] - want[1])
            assert until(lambda: hand.prefix.xpointer()[3] == inside, 3), f"step {i}: X {hand.prefix.xpointer()}"
    finally:
        hand.x("mouseup", 1)


# Dragged by its diagram, sized by its border, a tip on a resting pointer, a menu
# where the right button went down, whose "&Properties" shows the Monitor(s) page.
def test_input_monitor(sim, agents, hand, drv, prefix):
    sim.start("default.scn", "set-interface lan rx-rate=5000000 tx-rate=2000000")
    place_monitor(prefix, "0000", LAN_ID, AT)
    agent = agents.start_on_tray()
    open_monitor(agents, 0, LAN)
    # A hand drags what it sees: X may not show it yet.
    lit(prefix, drv, "input-monitor-shown", 1)
    # Held as the button goes down and the pointer steps, it keeps the pressed point under the pointer.
    carry(hand, LAN, 400, 280, 100, 50, agent.pid)
    # The bottom right corner of the border.
    hand.drag(LAN, 598, 376, 698, 426)
    assert until(lambda: rect(drv, LAN) == (400, 250, 700, 428), 3), rect(drv, LAN)
    # Stored: a word that turns 0 once it was moved, then the four sides.
    place = "REG_BINARY " + b"".join(v.to_bytes(4, "little") for v in (0, 400, 250, 700, 428)).hex().upper()
    assert until(lambda: prefix.reg_value(AGENT_KEY + r"\Monitors\0000", "SizePositionWindow") == place, 3)
    lit(prefix, drv, "input-monitor-sized", 2)
    hand.move(560, 330)
    hand.x("mousemove", 561, 331)
    # On the resting pointer.
    drv("wait-tip", LAN)
    hand.drag(LAN, 450, 300, 480, 320, 3)
    # The menu opens at the press.
    assert menu(drv, 450, 300)[1][:2] == (450, 300)
    hand.click(480, 312, "")
    page_shown(drv, 2)
    agent.unload()


# A monitor transparent for the mouse over another: a double click reaches the one
# beneath; once the pointer has left for a tick of its timer it is whole again.
def test_input_transparent(sim, agents, hand, drv, prefix):
    sim.start(scenario(prefix, TWO_MONITORS))
    place_monitor(prefix, "0000", LAN_ID, AT, "MakeWindowTrasparentForMouse")
    place_monitor(prefix, "0001", WLAN_ID, AT)
    agent = agents.start_on_tray()
    open_monitor(agents, 1, WLAN)
    open_monitor(agents, 0, LAN)
    region = lambda: drv("region", LAN).strip()
    assert region() == "none", region()
    hand.move(400, 280)
    hand.x("mousemove", 401, 281)
    # A hole under the pointer.
    assert until(lambda: region() not in ("none", ""), 3)
    # Every motion over it cuts a hole, the ones on the way in too: the click waits until X
    # routes the pixel under the pointer to the monitor beneath, as a resting hand would.
    hand.click(401, 281, WLAN, 1, 2)
    caption = lambda t: int(drv("style", t), 0) & ids.WS_CAPTION == ids.WS_CAPTION
    # The double click reaches the one beneath,
    assert until(lambda: not caption(WLAN), 5)
    # not the transparent one.
    assert caption(LAN)
    hand.move(700, 600)
    assert until(lambda: region() == "none", 3), region()
    agent.unload()


# The tray menu by click and by keys; Escape there opens nothing. Tab and Shift+Tab walk the tree,
# the page and "&Close" round, the arrows choose a page, each page's underlined letters press its
# buttons; Alt+C, Enter and Escape put it away.
def test_input_preferences(sim, agents, hand, drv, prefix):
    sim.start("default.scn")
    agent, w = agents.start_on_tray(), MAIN_WINDOW
    x, y = icon(drv)
    hand.click(x, y, "", 3)
    hand.focus(menu(drv, x, y)[0])
    hand.keys("Escape")
    # Escape closes the menu
    assert until(lambda: not menus(drv), 3)
    opened = lambda: shown(drv) or STATS in [w["caption"] for w in drv.windows()]
    # and opens nothing, over a time a command takes.
    assert not until(opened, 1.5)
    open_prefs(hand)
    walk(hand, w, None, ids.IDC_MAIN_CLOSE)
    walk(hand, w, "Tab", *ctl("PAGE_TREE ENABLE_START START_DISABLED"))
    walk(hand, w, "shift+Tab", *ctl("ENABLE_START PAGE_TREE MAIN_CLOSE HOLD_SLIDER CUMULATIVE"))
    walk(hand, w, "Tab", *ctl("HOLD_SLIDER MAIN_CLOSE PAGE_TREE"))
    # Down shows the Monitor(s) page, alive once its list has its first interface chosen.
    hand.keys("Down")
    page = page_shown(drv, 2)
    live(drv, page, ids.IDC_MON_CHOOSE)
    walk(hand, w, "Tab", ids.IDC_MON_INTERFACES)
    for key, dialog, answer in (("alt+o", "Color", "Escape"), ("alt+r", ASKED, "n")):
        hand.keys(key, to=w)
        hand.keys(answer, to=dialog)
        drv.wait_gone(dialog, 3000)
    hand.wait_keys(w)
    walk(hand, w, None, ids.IDC_MON_DEFAULTS)
    # A button's press made "&Apply" and "Ca&ncel" live and Tab reaches them; Alt+N cancels and they go dead.
    walk(hand, w, "Tab", *ctl("APPLY CANCEL", "MON_"))
    hand.keys("alt+n")
    live(drv, page, ids.IDC_MON_APPLY, "off")
    walk(hand, w, "shift+Tab", *ctl("DEFAULTS CHOOSE", "MON_"))
    walk(hand, w, "Tab", *ctl("MON_DEFAULTS MAIN_CLOSE PAGE_TREE"))
    # Two pages down, Alt+R lists the interfaces again; the button goes dead meanwhile, the keyboard must not.
    hand.keys("Down")
    page = page_shown(drv, 3)
    live(drv, page, ids.IDC_REFRESH_INTERFACES)
    before = sim.count(1)
    hand.keys("alt+r")
    sim.wait_count(1, before + 1)
    live(drv, page, ids.IDC_REFRESH_INTERFACES)
    # Some control has the focus.
    drv("focus", w, timeout=2000)
    away(hand, "alt+c")
    open_prefs(hand, "Down", "Down", "Return")
    walk(hand, w, "Tab", ids.IDC_PAGE_TREE)
    away(hand, "Return")
    open_prefs(hand, "p")
    away(hand, "Escape")
    agent.unload()
