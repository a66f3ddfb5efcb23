# Client of AgentDriver.exe --serve (framing in tests/e2e/driver/serve_loop.cpp). Exit codes: 0 the
# condition holds, 1 not within the time-out, 2 usage. A dead or silent driver is the harness's fault:
# it is started anew and the call made once more, and such retries are counted.
import itertools
import os
import queue
import subprocess
import threading
import time

MET, NOT_MET, USAGE = 0, 1, 2


class Driver:
    def __init__(self, command, env, log):
        self.command, self.env, self.log = command, env, log
        self.retries = 0
        self.desktop = None  # every call goes to this virtual desktop while it is set
        self._ids = itertools.count(1)
        self._start()

    def _start(self):
        self.proc = subprocess.Popen(self.command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.log, env=self.env)
        self._lines = queue.Queue()
        threading.Thread(target=self._read, args=(self.proc, self._lines), daemon=True).start()
        self.note(f"driver pid {self.proc.pid}")

    @staticmethod
    def _read(proc, lines):
        for raw in proc.stdout:
            lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
        lines.put(None)

    def note(self, text):
        self.log.write(f"{time.strftime('%H:%M:%S')} {text}\n")
        self.log.flush()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()

    def _once(self, words, seconds):
        """(code, output lines), or None when the transport failed."""
        tag = f"{os.getpid()}.{next(self._ids)}"
        try:
            self.proc.stdin.write(("\x1f".join([tag, *words]) + "\n").encode())
            self.proc.stdin.flush()
        except OSError:
            return None
        out, begun, deadline = [], False, time.monotonic() + seconds
        while True:
            try:
                line = self._lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                return None
            if line is None:
                return None
            if line.startswith(f"\x1e{tag} "):
                word = line.split(" ", 1)[1]
                if word != "begin":
                    return int(word), out
                begun = True
            elif begun:
                out.append(line)

    def run(self, *words, timeout=5000, desktop=None, **flags):
        """(code, output); flags become --name value (True: just --name)."""
        words = [str(w) for w in words] + ["--timeout", str(timeout)]
        if desktop or self.desktop:
            words += ["--desktop", desktop or self.desktop]
        for name, value in flags.items():
            words += [f"--{name}"] + ([] if value is True else [str(value)])
        for attempt in (1, 2):
            started = time.monotonic()
            answer = self._once(words, timeout / 1000 + 15)
            shown = "|".join(answer[1])[:400] if answer else ""
            self.note(f"driver {' '.join(words)} -> {answer[0] if answer else 'no answer'}"
                      f" in {(time.monotonic() - started) * 1000:.0f} ms: {shown}")
            if answer:
                # sim passes on the control program's codes, where 2 is "no simulator"
                assert answer[0] != USAGE or words[0] == "sim", f"driver usage: {' '.join(words)}: {shown}"
                return answer[0], "\n".join(answer[1])
            self.retries += 1
            self.stop()
            self._start()
        raise RuntimeError(f"the driver failed twice on: {' '.join(words)}")

    def ok(self, *words, **kw):
        return self.run(*words, **kw)[0] == MET

    def __call__(self, *words, what=None, **kw):
        """The output; else an AssertionError naming what was missing and what the screen held."""
        code, out = self.run(*words, **kw)
        if code != MET:
            raise AssertionError(f"{what or ' '.join(map(str, words))} (not within {kw.get('timeout', 5000)} ms); "
                                 f"driver said: {out.strip() or '-'}; on screen: {self.shown()}")
        return out

    @staticmethod
    def _rows(out, *names):
        return [dict(zip(names, r.split("\t"))) for r in out.splitlines() if r]

    def windows(self, **kw):
        return self._rows(self.run("list-windows", **kw)[1], "hwnd", "pid", "visible", "cls", "caption")

    def children(self, caption, **kw):
        return self._rows(self("list-children", caption, **kw), "hwnd", "id", "visible", "cls", "caption")

    def control(self, caption, control, **kw):
        """ "hwnd:..." of the window's child with that id, awaited, as a dialog is found before its controls."""
        deadline = time.monotonic() + 5
        while not (hwnd := next((c["hwnd"] for c in self.children(caption, **kw) if c["id"] == str(control)), None)):
            assert time.monotonic() < deadline, f'no control {control} in "{caption}"'
            time.sleep(0.1)
        return f"hwnd:{hwnd}"

    def shown(self):
        return "; ".join(f'"{w["caption"]}"' for w in self.windows() if w.get("visible") == "visible") or "nothing"

    def wait_window(self, caption, timeout=10000, **kw):
        return self("wait-window", caption, timeout=timeout, what=f'no window "{caption}"', **kw).strip()

    def wait_gone(self, caption, timeout=5000, **kw):
        self("wait-gone", caption, timeout=timeout, what=f'window "{caption}" still there', **kw)

    def text(self, caption, control=None, **kw):
        return self("text", caption, *([] if control is None else [control]), **kw).strip()

    def wait_text(self, caption, control, text, timeout=5000, **kw):
        if not self.ok("wait-text", caption, control, text, timeout=timeout, **kw):
            raise AssertionError(f'control {control} of "{caption}" shows "{self.text(caption, control, **kw)}",'
                                 f' not "{text}"')

    def send(self, caption, message, wparam=0, lparam=0, timeout=5000, **kw):
        return self("send", caption, message, wparam, lparam, timeout=timeout,
                    what=f'"{caption}" does not take message {message:#x}', **kw).strip()

    def post(self, caption, message, wparam=0, lparam=0, timeout=3000, **kw):
        self("post", caption, message, wparam, lparam, timeout=timeout,
             what=f'"{caption}" does not take message {message:#x}', **kw)

    def press(self, caption, control, timeout=3000, **kw):
        self("press", caption, control, timeout=timeout, what=f'no control {control} in "{caption}" to press', **kw)

    def msgbox(self, title, timeout=10000, **kw):
        """The open message box's hwnd, pid, icon and text (the last, whose lines run to the end)."""
        out = self("msgbox", title, timeout=timeout, what=f'no message box "{title}"', **kw)
        head, _, text = out.partition("text=")
        return dict(line.split("=", 1) for line in head.splitlines() if "=" in line) | {"text": text}

    def sim(self, *words, **kw):
        return self("sim", *words, what=f"simulator refused: {' '.join(map(str, words))}", **kw).strip()

    def sim_count(self, code, minimum, seconds):
        met, seen = self.run("sim-count", code, minimum, timeout=seconds * 1000)
        assert met == MET, f"simulator saw {seen.strip() or 'no'} request(s) {code} within {seconds} s, " \
                           f"expected at least {minimum}"
