"""The agent's ids, commands, messages and fixed strings, read from every
header under src/, so a test names them as the code does: ids.WM_AGENT_REFRESH."""
import pathlib
import re

_SRC = pathlib.Path(__file__).resolve().parents[2] / "src"
_DEFINE = re.compile(r"^\s*#define\s+(\w+)\s+(.+?)\s*(?://.*)?$", re.M)
_CONST = re.compile(r"\bconst(?:expr)?\s+[\w:]+\s+(\w+)(?:\[\])?\s*=\s*([^;{]+);")
# Win32's own numbers that the tests use and no header under src/ defines.
_WIN32 = dict(BM_GETCHECK=0xF0, COLOR_RED=706, CBN_SELCHANGE=1, CB_GETCOUNT=0x146, CB_SETCURSEL=0x14E, IDCANCEL=2,
              IDNO=7, IDOK=1, IDYES=6, MK_LBUTTON=1, MK_RBUTTON=2, PBM_GETPOS=0x408, TBM_GETPOS=0x400,
              TBM_SETPOS=0x405, TB_ENDTRACK=8, TB_THUMBTRACK=5, TVGN_CARET=9, TVGN_NEXT=1, TVGN_PARENT=3, TVGN_ROOT=0,
              TVM_GETNEXTITEM=0x110A, TVM_SELECTITEM=0x110B, VK_DOWN=0x28, VK_ESCAPE=0x1B, VK_RETURN=0x0D,
              VK_RIGHT=0x27, VK_SPACE=0x20, VK_TAB=0x09, VK_UP=0x26, WM_APP=0x8000, WM_CLOSE=0x10, WM_COMMAND=0x111,
              WM_HSCROLL=0x114, WM_LBUTTONDBLCLK=0x203, WM_RBUTTONDOWN=0x204, WM_RBUTTONUP=0x205, WM_USER=0x400,
              WS_CAPTION=0xC00000, WS_DISABLED=0x08000000, WS_EX_TOPMOST=0x8)


def _value(text, known):
    text = text.strip()
    if string := re.fullmatch(r'L?"((?:[^"\\]|\\.)*)"', text):
        return string.group(1)
    expr = re.sub(r"\b(\d+|0x[0-9a-fA-F]+)[uUlL]*\b", r"\1", text)
    if not re.fullmatch(r"[\w\s()+\-*|<>]+", expr):
        return None
    try:
        return eval(expr, {"__builtins__": {}}, dict(known))  # only names already known and integers
    except Exception:
        return None


def _load():
    known, clashes = dict(_WIN32), set()
    for header in sorted(_SRC.rglob("*.h")):
        text = header.read_text(errors="replace")
        for name, raw in _DEFINE.findall(text) + _CONST.findall(text):
            value = _value(raw, known)
            if value is None:
                continue
            if name in known and known[name] != value and name not in _WIN32:
                clashes.add(name)
            known.setdefault(name, value)
    for name in clashes:
        del known[name]
    return known, clashes


_KNOWN, _CLASHES = _load()


def __getattr__(name):
    if name in _CLASHES or name not in _KNOWN:
        raise AttributeError(f"{name}: {'values differ' if name in _CLASHES else 'none'} in the headers under src/")
    return _KNOWN[name]
