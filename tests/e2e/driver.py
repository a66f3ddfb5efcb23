# Client of AgentDriver.exe --serve (framing in tests/e2e/driver/driver_main.cpp). Exit codes: 0 the
# condition holds, 1 not within the time-out, 2 usage. A dead or silent driver is the harness's fault:
# it is started anew and the call made once more, and such retries are counted.
import itertools
import os
import queue
import subprocess
import threading
import time


def rows(out, second):
    return [dict(zip(("hwnd", second, "visible", "cls", "caption"), r.split("\t"))) for r in out.splitlines() if r]


class Driver:
    def __init__(self, command, env, log):
        self.command, self.env, self.log = command, env, log
        # Every call goes to the virtual desktop self.desktop while it is set.
        self.retries, self.desktop = 0, None
        self._ids = itertools.count()
        self._start()

    def _start(self):
        self.proc = proc = subprocess.Popen(self.command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=self.log, env=self.env)
        # A queue of its own: what a dead driver left never reaches the next one.
        self._lines = lines = queue.Queue()
        threading.Thread(target=lambda: [*map(lines.put, proc.stdout), lines.put(b"")], daemon=True).start()
        self.note(f"driver pid {proc.pid}")

    def note(self, text):
        self.log.write(f"{time.strftime('%T')} {text}\n")

    def stop(self):
        self.proc.kill()
        self.proc.wait()

    # (code, output), or None when the transport failed.
    def _once(self, words, seconds):
        tag, out, deadline = f"\x1e{os.getpid()}.{next(self._ids)} ", None, time.monotonic() + seconds
        try:
            self.proc.stdin.write(("\x1f".join([tag[1:-1], *words]) + "\n").encode())
            self.proc.stdin.flush()
            while line := self._lines.get(timeout=max(0, deadline - time.monotonic())):
                # A control's text may hold Windows line breaks.
                line = line.decode(errors="replace").rstrip("\r\n")
                if line == tag + "begin":
                    out = []
                elif line.startswith(tag):
                    return int(line[len(tag):]), "\n".join(out or [])
                elif out is not None:
                    out.append(line)
        except (OSError, queue.Empty):
            return

    # (code, output); a flag (msgbox=True) becomes --msgbox.
    def run(self, *words, timeout=5000, desktop=None, **flags):
        desktop = desktop or self.desktop
        words = [*map(str, words), "--timeout", str(timeout), *map("--{}".format, flags)]
        words += ["--desktop", desktop] * bool(desktop)
        call = " ".join(words)
        for _ in (1, 2):
            started, answer = time.monotonic(), self._once(words, timeout / 1000 + 15)
            code, out = answer or ("no answer", "")
            self.note(f"driver {call} -> {code} in {(time.monotonic() - started) * 1000:.0f} ms: {out[:400]!r}")
            if answer:
                # sim passes on the control program's codes, where 2 is "no simulator"
                assert code != 2 or words[0] == "sim", f"driver usage: {call}: {out}"
                return answer
            self.retries += 1
            self.stop()
            self._start()
        raise RuntimeError(f"driver failed twice: {call}")

    def ok(self, *words, **kw):
        return self.run(*words, **kw)[0] == 0

    # The output; else an AssertionError naming what was missing and what the screen held.
    def __call__(self, *words, what=None, **kw):
        code, out = self.run(*words, **kw)
        if code:
            shown = "; ".join(f'"{w["caption"]}"' for w in self.windows() if w.get("visible") == "visible")
            raise AssertionError(f"{what or ' '.join(map(str, words))} (not within {kw.get('timeout', 5000)} ms); "
                                 f"driver said: {out.strip() or '-'}; on screen: {shown or 'nothing'}")
        return out

    def windows(self, **kw):
        return rows(self.run("list-windows", **kw)[1], "pid")

    def children(self, caption, **kw):
        return rows(self("list-children", caption, **kw), "id")

    # "hwnd:..." of the window's control with that id, awaited, as a dialog is found before its controls.
    def control(self, caption, control, **kw):
        return "hwnd:" + self("wait-window", caption, control, **kw).strip()

    def wait_window(self, caption, timeout=10000, **kw):
        return self("wait-window", caption, timeout=timeout, **kw).strip()

    def wait_gone(self, caption, timeout=5000, **kw):
        self("wait-gone", caption, timeout=timeout, **kw)

    def text(self, caption, control=None, **kw):
        return self("text", caption, *([] if control is None else [control]), **kw).strip()

    # On failure the driver says what the control showed last.
    def wait_text(self, caption, control, text, timeout=5000, **kw):
        self("wait-text", caption, control, text, timeout=timeout,
             what=f'control {control} of "{caption}" to show "{text}"', **kw)

    def send(self, caption, message, wparam=0, lparam=0, timeout=5000, **kw):
        return self("send", caption, message, wparam, lparam, timeout=timeout, **kw).strip()

    def post(self, caption, message, wparam=0, lparam=0, timeout=3000, **kw):
        self("post", caption, message, wparam, lparam, timeout=timeout, **kw)

    def press(self, caption, control, timeout=3000, **kw):
        self("press", caption, control, timeout=timeout, **kw)

    # The open message box's icon and text.
    def msgbox(self, title, timeout=10000, **kw):
        head, _, text = self("msgbox", title, timeout=timeout, **kw).partition("text=")
        return {"icon": head.strip()[5:], "text": text}

    def sim(self, *words, **kw):
        return self("sim", *words, what=f"simulator refused: {' '.join(map(str, words))}", **kw).strip()

    def sim_count(self, code, minimum, seconds):
        self("sim-count", code, minimum, timeout=seconds * 1000,
             what=f"simulator saw fewer than {minimum} request(s) {code} within {seconds} s")
