# A private X display and wine prefix per worker; the registry, screenshots, pixels and X's pointer.
import ctypes
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import time

WINE64 = "/usr/lib/wine/wine64"
AGENT_KEY = r"HKLM\Software\Merovax\ZorvanHAgent"


def pe_arch(path):
    data = pathlib.Path(path).read_bytes()
    at = int.from_bytes(data[60:64], "little") + 4
    return {0x8664: 64, 0x14C: 32}[int.from_bytes(data[at:at + 2], "little")]


def runs_32bit():
    try:
        return not subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True).returncode
    except OSError:
        return False


def fixed_layout():
    # Debian's wine comes without the preloader that reserves a process's low
    # addresses before anything else is mapped there. With a randomized layout
    # a wine process now and then finds the place of its shared user data taken
    # and exits with code 1 as it starts ("failed to map the shared user data").
    # Every process started from here on gets the same layout every time.
    libc = ctypes.CDLL(None)
    libc.personality(libc.personality(0xFFFFFFFF) | 0x0040000)  # ADDR_NO_RANDOMIZE


def winpath(path):
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def display_free(n):
    # A server killed outright leaves its lock behind, and its pid may since
    # belong to another process: such a lock is stale and goes, as it would
    # stop every later run from taking the number.
    lock = pathlib.Path(f"/tmp/.X{n}-lock")
    try:
        comm = pathlib.Path(f"/proc/{lock.read_text().strip()}/comm")
        if comm.exists() and comm.read_text() == "Xvfb\n":
            return False
    except OSError:
        return not lock.exists()
    for path in (lock, pathlib.Path(f"/tmp/.X11-unix/X{n}")):
        path.unlink(missing_ok=True)
    return True


def start_xvfb(log):
    # A display is ours only once its lock names our server.
    for n in filter(display_free, range(90, 200)):
        proc = subprocess.Popen(["Xvfb", f":{n}", "-nolisten", "tcp", "-screen", "0", "1280x800x24"],
                                stdout=log, stderr=log)
        lock = pathlib.Path(f"/tmp/.X{n}-lock")
        for _ in range(50):
            try:
                if lock.read_text().strip() == str(proc.pid) and os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    return proc, f":{n}"
            except OSError:
                pass
            if proc.poll() is not None:
                break
            time.sleep(0.1)
        proc.kill()
        proc.wait()
    raise RuntimeError("no free X display")


class Prefix:

    def __init__(self, bin_dir, artifacts, display, log):
        self.bin, self.artifacts, self.log = pathlib.Path(bin_dir).resolve(), pathlib.Path(artifacts), log
        self.tray = None  # the explorer of the virtual desktop with a taskbar
        fixed_layout()
        self.arch = pe_arch(self.bin / "ZorvanHAgent.exe")
        self.tmp = pathlib.Path(tempfile.mkdtemp(prefix="zorvanh-e2e."))
        # Wine's errors go to the log, where a failure is read. One malloc arena: wine's own Unix-side
        # allocations, spread over an arena a thread, grow the agent's private bytes for a hundred soak
        # rounds before they level off, which would hide a leak.
        self.env = dict(os.environ, DISPLAY=display, WINEPREFIX=str(self.tmp / "prefix"), WINEDEBUG="fixme-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEARCH="win64", MALLOC_ARENA_MAX="1")
        self.wine = "wine"
        if not runs_32bit():
            # The "wine" launcher tries the 32-bit loader first, which this
            # kernel cannot run: every wine program goes to the 64-bit one.
            if self.arch != 64:
                raise RuntimeError("no 32-bit programs run here")
            self.wine = self.env["WINELOADER"] = WINE64
        # Wine's own programs (reg, explorer) run as the agent's architecture,
        # so reg sees the registry view the agent writes to.
        self.own = WINE64 if self.arch == 64 else self.wine
        self.run(self.wine, "wineboot", "-i", timeout=120, check=True)
        if os.environ.get("E2E_DPI"):
            # A wine process reads the value when it starts: wineboot's are ended first.
            self.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                     "/d", os.environ["E2E_DPI"], "/f", check=True)
            self.run("wineserver", "-k")
            self.run("wineserver", "-w")
        # A persistent server keeps later wine calls quick.
        self.run("wineserver", "-p")

    def run(self, *args, timeout=60, check=False):
        # The time-out only guards a hung prefix.
        done = subprocess.run([*map(str, args)], env=self.env, stdout=subprocess.PIPE, stderr=self.log, timeout=timeout)
        if check and done.returncode:
            raise RuntimeError(f"{args} ended with {done.returncode}: {done.stdout[-300:]!r}")
        return done.stdout.decode(errors="replace").replace("\r", "")

    def spawn(self, *args, cwd=None):
        return subprocess.Popen([*map(str, args)], env=self.env, cwd=cwd, stdout=self.log, stderr=self.log)

    def processes(self):  # {pid: (Windows command line, Linux state)} of this prefix's processes
        mine, found = f"WINEPREFIX={self.env['WINEPREFIX']}".encode(), {}
        for proc in pathlib.Path("/proc").glob("[0-9]*"):
            try:
                cmd = (proc / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace").strip()
                state = (proc / "stat").read_text().rsplit(")", 1)[1].split()[0]
                if mine in (proc / "environ").read_bytes().split(b"\0"):
                    found[int(proc.name)] = (cmd, state)
            except (OSError, IndexError):
                continue
        return found

    def close(self):
        self.run("wineserver", "-k")
        shutil.rmtree(self.tmp, ignore_errors=True)

    def reg(self, *args, check=False):
        return self.run(self.own, "reg", *args, check=check)

    def reg_value(self, key, name):
        found = re.search(rf"^ *{re.escape(name)} {{4}}(.*)", self.reg("query", key, "/v", name), re.M)
        return " ".join(re.split(r"\s{4}", found[1].strip())) if found else ""

    def reg_subkeys(self, key):
        # reg names the root in full.
        tail = key.split("\\", 1)[1].upper() + "\\"
        return [l for l in self.reg("query", key).splitlines() if l.startswith("HKEY_") and tail in l.upper()]

    def reg_import(self, text):
        path = self.tmp / f"import-{time.monotonic_ns()}.reg"
        path.write_text("Windows Registry Editor Version 5.00\n\n" + text + "\n", encoding="utf-16")
        self.reg("import", winpath(path), check=True)

    def shot(self, name):
        path = self.artifacts / f"{name}.png"
        subprocess.run(["/usr/bin/import", "-display", self.env["DISPLAY"], "-window", "root", path],
                       stdout=self.log, stderr=self.log, timeout=20)
        return path

    @staticmethod
    def _row(shot, x, y, width=1):
        out = subprocess.run(["/usr/bin/convert", shot, "-crop", f"{width}x1+{x}+{y}", "-depth", "8", "txt:-"],
                             capture_output=True, text=True).stdout
        return [tuple(map(int, p)) for p in re.findall(r"\((\d+),(\d+),(\d+)", out)]

    def pixel(self, shot, x, y):
        return self._row(shot, x, y)[0]

    def lit(self, shot, x0, x1, y):
        # A monitor's bars run from green to red on a black and dark blue background and grid.
        return sum(r + g > 150 for r, g, _ in self._row(shot, x0, y, x1 - x0))

    def xdotool(self, *args):
        self.run("xdotool", *args, timeout=20, check=True)

    def xpointer(self):
        # Where X has the pointer, the name of the window it routes a click to,
        # and the pointer's place in that window as X has it.
        probe = self.tmp / "xpointer"
        if not probe.exists():
            subprocess.run(["g++", "-O", "-o", probe, pathlib.Path(__file__).with_name("xpointer.cpp"), "-lX11"],
                           check=True, stderr=self.log)
        x, y, inx, iny, name = self.run(probe).rstrip("\n").split(" ", 4)
        return int(x), int(y), name, (int(inx), int(iny))


def differ(a, b):
    # "file.png[WxH+X+Y]" crops a picture; pictures of different sizes differ in all.
    done = subprocess.run(["/usr/bin/compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return float(done.stderr.split()[0]) if done.returncode < 2 else float("inf")
