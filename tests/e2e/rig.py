"""End-to-end rig: runs the real Vendro.exe and its stand-ins under Wine.

Two Windows installations are kept under build/wine/: `win64` (64-bit Windows, where the 32-bit
launcher runs under WOW64 and sees two registry views) and `win32` (32-bit Windows, one view).
Each is made once with `wineboot -i` and reused; a test only changes its application folder
(C:\\app), its runtime folders (C:\\rt), the Java registry keys and the record files, and `reset()`
puts those back.

Every Windows program is started through the stand-in `runner.exe`, because `wine X.exe` reports
exit codes modulo 256 while the launcher's codes (259, the Java program's own) need all 32 bits.
Message boxes are recorded and answered by `boxwatch.exe`, web addresses opened with the shell
land in a record of `urlrec.exe`, and the stand-in `javaw.exe` records how it was started.
Record formats are described in tests/doubles/README.md; records.py reads and writes them, and
relay.py reads Wine's call traces.

Which build runs: the shipped 32-bit one (build/x86) wherever the kernel runs 32-bit code, so
that Wine can run 32-bit programs in both prefixes. A kernel without 32-bit support (some virtual
machines) has no 32-bit Wine; there the 64-bit test build (build/x64), which stands in for the
32-bit launcher on 64-bit Windows, runs in the 64-bit prefix with the 64-bit Wine loader, and
the 32-bit prefix is not available.

Environment: VENDRO_X86_DIR and VENDRO_X64_DIR name the two build folders;
VENDRO_E2E_BUILD=x86 or x64 forces one of them.
"""

from __future__ import annotations

import concurrent.futures
import contextlib
import dataclasses
import fcntl
import os
import re
import select
import shutil
import subprocess
import tempfile
import time
import warnings
from pathlib import Path
from typing import Callable, Iterable, Iterator, Mapping, Optional, Sequence, TypeVar, Union

# Re-exported: tests and the demo use them as rig.NAME.
from records import (  # noqa: F401
    _read,
    hex_item,
    parse_box_line,
    parse_items,
    settled,
    split_args,
    split_program,
    to_bytes,
    to_str,
    wait_for,
    win_join,
    Text,
)
from relay import RelayFilter, relay_calls, relay_number  # noqa: F401


ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
PREFIXES = BUILD / "wine"
ARCH = {"win64": "win64", "win32": "win32"}
WINE32_LOADER = "/usr/lib/wine/wine"
WINE64_LOADER = "/usr/lib/wine/wine64"
WINESERVER = "wineserver"


def can_run_32bit_wine() -> bool:
    """Whether the kernel runs Wine's 32-bit loader (it refuses with ENOEXEC where 32-bit code
    cannot run at all)."""
    try:
        done = subprocess.run([WINE32_LOADER, "--version"], capture_output=True, timeout=60)
    except OSError:
        return False
    return done.returncode == 0 and done.stdout.startswith(b"wine-")


def _choose_build() -> str:
    forced = os.environ.get("VENDRO_E2E_BUILD")
    if forced:
        if forced not in ("x86", "x64"):
            raise ValueError(f"VENDRO_E2E_BUILD must be x86 or x64, not {forced!r}")
        return forced
    return "x86" if can_run_32bit_wine() else "x64"


BUILD_KIND = _choose_build()
BUILD_DIR = Path(os.environ.get(f"VENDRO_{BUILD_KIND.upper()}_DIR", BUILD / BUILD_KIND))
PRODUCT = BUILD_DIR / "Vendro.exe"
# Which launcher the last run tested, and in which prefixes (see record_host_run).
HOST_RUN = BUILD / "e2e-host-run"
DOUBLES = BUILD_DIR / "doubles"
# `wine` picks the 32-bit loader, which starts 64-bit programs through the 64-bit one.
WINE = "wine" if BUILD_KIND == "x86" else WINE64_LOADER
DESKS = ("win64", "win32") if BUILD_KIND == "x86" else ("win64",)

APP = r"C:\app"
APP_EXE = r"C:\app\Vendro.exe"
DIAGNOSTIC = BUILD_DIR / "diagnostico-vendro.exe"
RUNTIMES = r"C:\rt"
TEST_DIR = r"C:\vendro-test"
DOUBLE_NAMES = ("runner", "boxwatch", "urlrec", "javaw", "wyUpdate", "probe")
SWT_JARS = (
    "org.eclipse.swt.win32.win32.x86_64-4.4.jar",
    "org.eclipse.swt.win32.win32.x86-4.4.jar",
)
# The smallest valid jar: an empty zip archive (only the end-of-directory record).
EMPTY_JAR = b"PK\x05\x06" + bytes(18)

RUNNER = TEST_DIR + r"\runner.exe"
BOXWATCH = TEST_DIR + r"\boxwatch.exe"
URLREC = TEST_DIR + r"\urlrec.exe"
FAKE_JAVA = TEST_DIR + r"\javaw.exe"
FAKE_UPDATE = TEST_DIR + r"\wyUpdate.exe"

URLS_REC = TEST_DIR + r"\urls.rec"
BOX_REC = TEST_DIR + r"\boxes.rec"
BOX_STOP = BOX_REC + ".stop"
BOX_READY = TEST_DIR + r"\boxes.ready"
REQUEST = TEST_DIR + r"\request.rec"
RESULT = TEST_DIR + r"\result.rec"
RUNNER_STARTED = RESULT + ".started"  # the runner ran up to starting the command
# Records of one launch; the Java and updater records are numbered per launch (see Records).
LAUNCH_FILES = (BOX_REC, BOX_STOP, BOX_READY, REQUEST, RESULT, RUNNER_STARTED)

# Registry keys under which Java runtimes register, by (vendor, kind).
RUNTIME_KEYS = {
    ("JavaSoft", "jre"): r"SOFTWARE\JavaSoft\Java Runtime Environment",
    ("JavaSoft", "jdk"): r"SOFTWARE\JavaSoft\Java Development Kit",
    ("IBM", "jre"): r"SOFTWARE\IBM\Java2 Runtime Environment",
    ("IBM", "jdk"): r"SOFTWARE\IBM\Java Development Kit",
}
# Every import deletes these first, so a launch sees only what its test added.
JAVA_ROOTS = (r"SOFTWARE\JavaSoft", r"SOFTWARE\IBM")

STILL_ACTIVE = 259

# How many times slower than a quiet native machine this one starts Wine programs (an emulated
# guest runs them about ten times slower). Every wait for something to happen is stretched by it;
# waits that check that something does not happen too early are not. VENDRO_E2E_TIME_SCALE sets
# it; otherwise the first desk set up measures it (`calibrate`).
WARM_START_SECONDS = 0.5  # a warm runner start of the updater stand-in, natively, with room
_time_scale: Optional[float] = float(os.environ.get("VENDRO_E2E_TIME_SCALE") or 0) or None


def scaled(seconds: float) -> float:
    """A wait of `seconds` on a quiet native machine, stretched for this one."""
    return seconds * (_time_scale or 1.0)
SCREEN = (1920, 1080)  # the X screen, and Wine's virtual desktop on it

# The probe (tests/doubles/probe.c) does what the stand-ins do not: it shows a message box, opens
# a web address through the shell, starts a program without waiting, lists the system's error
# texts exactly as the launcher's failure report asks for them, and lists the top-level windows.
PROBE = TEST_DIR + r"\probe.exe"
class RigError(RuntimeError):
    """The rig itself could not do its job (as opposed to a product fault)."""


T = TypeVar("T")


def one_more_try(what: str, attempt: Callable[[], tuple[T, Optional[str]]],
                 between: Callable[[], None] = lambda: None) -> T:
    """The rig's one answer to a Wine process that ended before it ran (now and then Wine ends a
    program with 1 before it ran, saying nothing: seen for reg.exe, boxwatch and the runner in
    full runs). `attempt` returns its value and None, or why its program did not run; then
    `between` runs and so does the attempt, once more, and the first failure stays visible as a
    warning. Only the rig's own programs come here, never a product program: the launcher runs
    under the runner, which tells whether it started it, and the diagnostic command runs once;
    a product that fails once fails its test."""
    value, failure = attempt()
    if failure is None:
        return value
    between()
    value, second = attempt()
    if second is not None:
        raise RigError(f"{what}: {failure}; then {second}")
    warnings.warn(f"{what} ran on the second try; the first: {failure}")
    return value


class Unavailable(RigError):
    """This machine cannot provide the asked-for Windows installation."""


class LaunchTimeout(RigError):
    """The started program did not end within the launch's time limit."""


# ---------------------------------------------------------------------------------------------
# Running Wine commands

def run_to_files(args: Sequence[str], *, env: dict, timeout: float, what: str,
                 cwd: Optional[Path] = None) -> subprocess.CompletedProcess:
    """Runs a command and returns its output, read from files rather than pipes: the first
    Wine program of a wineserver starts Wine's background services, which inherit its output
    handles and would keep a pipe open, so waiting for the pipe's end would hang."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            done = subprocess.run(args, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=err, timeout=timeout)
        except subprocess.TimeoutExpired as e:
            raise RigError(f"{what} did not end in {timeout}s") from e
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(args, done.returncode, out.read(), err.read())


# ---------------------------------------------------------------------------------------------
# X display


class Xvfb:
    """A private X server on a free display number, so tests never touch a real screen."""

    def __init__(self, depth: int = 24):
        self.geometry = "%dx%dx%d" % (*SCREEN, depth)
        self.proc: Optional[subprocess.Popen] = None
        self.display = ""

    def start(self) -> str:
        read_end, write_end = os.pipe()
        try:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.geometry,
                 "-nolisten", "tcp"],
                pass_fds=(write_end,),
                stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL,
            )
        finally:
            os.close(write_end)
        # Xvfb writes the display number it chose, then a line feed, once it accepts clients.
        number = b""
        deadline = time.monotonic() + 20
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise RigError("Xvfb did not report its display in time")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RigError(f"Xvfb ended early (exit code {self.proc.wait()})")
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        return self.display

    def stop(self) -> None:
        """Ends exactly the Xvfb this object started."""
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def __enter__(self) -> str:
        return self.start()

    def __exit__(self, *exc) -> None:
        self.stop()


# ---------------------------------------------------------------------------------------------
# Registry additions


@dataclasses.dataclass
class VersionKey:
    """HKLM\\<key>\\<version> with an optional JavaHome value, in one registry view."""

    key: str
    version: Text
    java_home: Optional[Text]
    value_type: str = "sz"

    def reg_lines(self, key: str) -> list[bytes]:
        """The key's lines, written at `key` (the path as the importing reg.exe sees it)."""
        lines = [b"[HKEY_LOCAL_MACHINE\\" + to_bytes(key).strip(b"\\") + b"\\"
                 + to_bytes(self.version) + b"]"]
        if self.java_home is not None:
            lines.append(b'"JavaHome"=' + reg_value(to_bytes(self.java_home), self.value_type))
        return lines


def reg_value(data: bytes, value_type: str) -> bytes:
    """A value in REGEDIT4 syntax; REGEDIT4 files are read in the ANSI code page (1252)."""
    if value_type == "sz":
        if b"\r" in data or b"\n" in data or b"\0" in data:
            raise ValueError("REG_SZ values here cannot hold line ends or NULs; use binary")
        return b'"' + data.replace(b"\\", b"\\\\").replace(b'"', b'\\"') + b'"'
    if value_type == "expand_sz":
        return b"hex(2):" + _hex_list(data + b"\0")
    if value_type == "binary":
        return b"hex:" + _hex_list(data)
    if value_type == "dword":  # data: its 4 bytes, little-endian
        return b"hex(4):" + _hex_list(data)
    if value_type == "multi_sz":  # data: the strings with NUL between them
        return b"hex(7):" + _hex_list(data + b"\0\0")
    raise ValueError(f"unknown value type {value_type!r} (sz, expand_sz, binary, dword or "
                     "multi_sz)")


def _hex_list(data: bytes) -> bytes:
    return b",".join(b"%02x" % b for b in data)


# ---------------------------------------------------------------------------------------------
# Results


def _java_record_complete(data: bytes) -> bool:
    # The stand-in writes its record in one piece; si_stderr is its last item.
    return data.endswith(b"\n") and b"\nsi_stderr=" in data


@dataclasses.dataclass
class Records:
    """Where one launch's stand-ins write. Each launch has its own Java and updater records, so
    a Result read late never sees a later launch's; web addresses all go to the one file the
    shell's registration names, and a launch owns the part of it written from its start until
    the next launch starts."""

    java: str
    updates: str
    urls_start: int
    urls_end: Optional[int] = None


class Result:
    """What one launch left behind. Records written asynchronously are read on first use."""

    def __init__(self, desk: "Desk", records: Records, exit_code: Optional[int],
                 pid: Optional[int], error: Optional[int], log: Optional[bytes],
                 boxes: list[dict], relay: Optional[list[str]], elapsed: float,
                 javas_before: frozenset[int] = frozenset()):
        self.desk = desk
        self.records = records
        self.exit_code = exit_code  # full unsigned 32-bit code; None if the start failed
        self.pid = pid  # Windows process id of the started program
        self.error = error  # GetLastError of a failed CreateProcessA in the runner, else None
        self.log = log  # bytes of pelmorin.log beside the exe, None when absent
        self.boxes = boxes  # message boxes seen, in order (see parse_box_line)
        self.relay = relay  # matching +relay lines, when asked for
        self.elapsed = elapsed  # seconds from the runner's start to its end
        self._javas_before = javas_before  # Unix ids of javaw.exe processes before the launch
        self._java: Optional[dict] = None
        self._java_read = False
        self._urls: Optional[list[bytes]] = None
        self._updates: Optional[list[bytes]] = None

    @property
    def java(self) -> Optional[dict]:
        """Record of the stand-in javaw.exe (key -> bytes), or None when it did not start.

        After a failed start (1) or a refused second instance (2) no Java process is expected.
        A process the launcher created exists by the time the launcher has ended, and the
        stand-in writes its record first: so once no javaw.exe started during the launch runs,
        its record is complete or there is none. Otherwise up to 10 s for the record to appear.
        """
        if not self._java_read:
            path = self.desk.unix(self.records.java)
            if self.exit_code in (1, 2):
                still = lambda: [p for p in self.desk.java_processes()
                                 if p.pid not in self._javas_before]
                if wait_for(lambda: not still(), scaled(10), 0.1):
                    data = _read(path)
                else:  # one runs on: it started, whatever its record says so far
                    data = settled(path, timeout=scaled(10.0), complete=_java_record_complete)
                    data = data if data is not None else b""
            else:
                data = settled(path, timeout=scaled(10.0), complete=_java_record_complete)
            self._java = dict(parse_items(data)) if data is not None else None
            self._java_read = True
        return self._java

    @property
    def java_program(self) -> Optional[bytes]:
        return split_program(self.java["cmdline"])[0] if self.java else None

    @property
    def java_args(self) -> Optional[bytes]:
        return split_program(self.java["cmdline"])[1] if self.java else None

    @property
    def java_argv(self) -> Optional[list[bytes]]:
        """The Java argument text split as the Java launcher's C runtime would split it."""
        return split_args(self.java_args) if self.java else None

    def _url_items(self, data: Optional[bytes]) -> list[bytes]:
        part = (data or b"")[self.records.urls_start:self.records.urls_end]
        return [v for k, v in parse_items(part) if k == "url"]

    @property
    def urls(self) -> list[bytes]:
        """Addresses opened through the shell. The shell starts urlrec without waiting for it,
        so this looks for up to 3 s; use `wait_urls` to wait for a known number."""
        if self._urls is None:
            path = self.desk.unix(URLS_REC)
            self._urls = self._url_items(settled(path, timeout=scaled(3.0)))
        return self._urls

    def wait_urls(self, count: int, timeout: float = 10.0) -> list[bytes]:
        """The addresses, once there are `count` of them or `timeout` (scaled) has run out."""
        path = self.desk.unix(URLS_REC)
        self._urls = _wait_items(lambda: self._url_items(_read(path)), count, scaled(timeout))
        return self._urls

    def _update_items(self) -> list[bytes]:
        data = _read(self.desk.unix(self.records.updates))
        return [v for k, v in parse_items(data or b"") if k == "cmdline"]

    @property
    def updates(self) -> list[bytes]:
        """Command lines of the stand-in updater's starts. The launcher waits for the check
        run; it does not wait for the install run: use `wait_updates` for that one."""
        if self._updates is None:
            settled(self.desk.unix(self.records.updates), timeout=scaled(1.0), stable=0.2)
            self._updates = self._update_items()
        return self._updates

    def wait_updates(self, count: int, timeout: float = 10.0) -> list[bytes]:
        self._updates = _wait_items(self._update_items, count, scaled(timeout))
        return self._updates

    @property
    def log_text(self) -> Optional[str]:
        return to_str(self.log) if self.log is not None else None

    def __repr__(self) -> str:
        return (f"Result(desk={self.desk.name}, exit_code={self.exit_code}, error={self.error}, "
                f"boxes={self.boxes!r}, log={len(self.log) if self.log else None} bytes, "
                f"elapsed={self.elapsed:.2f}s)")


def _wait_items(read: Callable[[], list[bytes]], count: int, timeout: float) -> list[bytes]:
    found: list[bytes] = []

    def enough() -> bool:
        nonlocal found
        found = read()
        return len(found) >= count

    wait_for(enough, timeout, 0.05)
    return found


# ---------------------------------------------------------------------------------------------
# One Windows installation


@dataclasses.dataclass
class Proc:
    pid: int  # Unix process id
    args: str


@dataclasses.dataclass
class Window:
    """One top-level window as `probe windows` lists it."""

    hwnd: int
    pid: int  # Windows process id
    cls: bytes
    title: bytes
    style: int
    exstyle: int
    rect: tuple[int, int, int, int]  # left, top, right, bottom in screen coordinates
    foreground: bool

    @property
    def visible(self) -> bool:
        return bool(self.style & 0x10000000)  # WS_VISIBLE

    @property
    def minimised(self) -> bool:
        return bool(self.style & 0x20000000)  # WS_MINIMIZE

    @classmethod
    def parse(cls, line: bytes) -> "Window":
        raw = {k.decode(): bytes.fromhex(v.decode())
               for k, _, v in (pair.partition(b"=") for pair in line.split())}
        num = {k: int(v) for k, v in raw.items() if k not in ("class", "title")}
        return cls(num["hwnd"], num["pid"], raw["class"], raw["title"], num["style"],
                   num["exstyle"], (num["left"], num["top"], num["right"], num["bottom"]),
                   num["foreground"] == 1)


class Desk:
    """One Wine prefix ("win64" or "win32") with the stand-ins installed, and what a test adds."""

    def __init__(self, name: str, display: str):
        if name not in ARCH:
            raise ValueError(f"unknown desk {name!r}")
        if name not in DESKS:
            raise Unavailable(f"{name}: this machine runs no 32-bit code, so Wine has no 32-bit "
                              f"Windows here (the {BUILD_KIND} test build is in use)")
        self.name = name
        self.prefix = PREFIXES / name
        self.is64 = name == "win64"
        self.display = display
        self.app = APP
        self.views = (32, 64) if self.is64 else (32,)
        # The loader of the system's own bitness, for its reg.exe and cmd.exe: under Wine the
        # 32-bit reg.exe of 64-bit Windows deletes nothing in the 64-bit view, so keys a test
        # wrote there would outlive its reset.
        self.system_loader = WINE64_LOADER if self.is64 else WINE
        self._reg: dict[int, list[VersionKey]] = {v: [] for v in self.views}
        self._roots: list[str] = list(JAVA_ROOTS)  # top keys deleted by every import
        self._applied: Optional[bytes] = None  # .reg text imported in this server's life
        self._server_up = False
        self._added: list[str] = []  # outermost paths created outside C:\app and C:\rt
        self._relays: list[RelayFilter] = []
        self._lock_file = None
        self.prefix_seconds: Optional[float] = None  # time wineboot took, when it ran
        self._error_texts: Optional[dict[int, bytes]] = None
        self._launches = 0
        self._last_records: Optional[Records] = None
        self._pending: list[concurrent.futures.Future] = []

    # -- environment and Wine commands ------------------------------------------------------

    def env(self, debug: str = "-all", **extra: str) -> dict:
        """Unix environment for Wine. Built from scratch so that the Windows environment the
        programs see (Wine copies the Unix one) is the same on every machine."""
        env = {k: os.environ[k] for k in ("PATH", "HOME", "USER", "LOGNAME", "TMPDIR")
               if k in os.environ}
        env.setdefault("HOME", "/root")
        env.update(WINEPREFIX=str(self.prefix), WINEDEBUG=debug, LANG="C.UTF-8",
                   WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=self.display)
        env.update(extra)
        return env

    def wine(self, args: Sequence[str], *, timeout: float = 60, check: bool = True,
             debug: str = "-all", loader: str = WINE, environment: Mapping[str, str] = {},
             product: bool = False) -> subprocess.CompletedProcess:
        """Runs one Wine command in this prefix (current directory C:\\) and waits for it
        (`timeout` scaled). `environment` adds variables to the ones the program sees.

        With `check`, a command that fails raises; a rig command gets `one_more_try` first. A
        `product` command (one of ours under test) runs once, whatever happens."""
        self._ensure_server()
        what = f"{self.name}: wine {' '.join(args)}"

        def run_once() -> tuple[subprocess.CompletedProcess, Optional[str]]:
            done = run_to_files([loader, *args], env=self.env(debug, **environment),
                                cwd=self.unix("C:\\"), timeout=scaled(timeout), what=what)
            if not check or done.returncode == 0:
                return done, None
            return done, (f"ended with {done.returncode}; output: "
                          f"{done.stdout.decode(errors='replace')[-1000:]!r}; error output: "
                          f"{done.stderr.decode(errors='replace')[-2000:]!r}")

        if not product:
            return one_more_try(what, run_once)
        done, failure = run_once()
        if failure:
            raise RigError(f"{what} {failure}")
        return done

    def _spawn(self, args: Sequence[str], stderr=subprocess.DEVNULL) -> subprocess.Popen:
        """Starts a Wine program without waiting for it."""
        self._ensure_server()
        return subprocess.Popen([WINE, *args], env=self.env(), cwd=self.unix("C:\\"),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=stderr)

    def _wineserver(self, *args: str, timeout: float = 60) -> None:
        subprocess.run([WINESERVER, *args], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)

    def _ensure_server(self) -> None:
        """Keeps one wineserver alive for the whole test: every new server restarts Wine's
        services (about two seconds), and a test runs several Wine commands in a row."""
        if not self._server_up:
            self._wineserver("-p")
            self._server_up = True

    def kill_server(self) -> None:
        """Ends every Windows process of this prefix, and its wineserver."""
        self._wineserver("-k")
        self._wineserver("-w")
        self._server_up = False
        self._applied = None
        for relay in self._relays:
            relay.join(5)
        self._relays = [r for r in self._relays if r.is_alive()]

    def processes(self) -> list[Proc]:
        """Unix processes of this prefix (Windows programs and wineserver), read from /proc."""
        mark = b"\0WINEPREFIX=" + str(self.prefix).encode() + b"\0"
        found = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                environ = b"\0" + (entry / "environ").read_bytes()
                if mark not in environ:
                    continue
                args = (entry / "cmdline").read_bytes().replace(b"\0", b" ").strip()
            except OSError:
                continue
            found.append(Proc(int(entry.name), args.decode(errors="replace")))
        return found

    def java_processes(self) -> list[Proc]:
        """The javaw.exe programs of this prefix, wherever they were started from."""
        return [p for p in self.windows_processes()
                if re.search(r"\\javaw\.exe\b", p.args, re.IGNORECASE)]

    def windows_processes(self) -> list[Proc]:
        """The Windows programs of this prefix that are not Wine's own (C:\\windows\\...):
        what the tests started, and what those started."""
        return [p for p in self.processes() if re.match(r"[A-Za-z]:\\", p.args)
                and not p.args.upper().startswith("C:\\WINDOWS\\")]

    # -- files -------------------------------------------------------------------------------

    def unix(self, winpath: Text) -> Path:
        """Unix path of a Windows path on drive C: (C:\\ is prefix/drive_c)."""
        path = to_str(winpath)
        if len(path) < 2 or path[1] != ":" or path[0].upper() != "C":
            raise ValueError(f"only drive C: is mapped: {path!r}")
        parts = [p for p in path[2:].replace("/", "\\").split("\\") if p not in ("", ".")]
        return self.prefix.joinpath("drive_c", *parts)

    def _note_created(self, winpath: Text) -> None:
        """Remembers the outermost folder or file that creating `winpath` brings into being,
        unless reset removes it anyway, so that reset can take it away."""
        path = to_str(winpath)
        probe = path
        outermost = None
        while True:
            if self.unix(probe).exists():
                break
            outermost = probe
            parent = probe.rstrip("\\").rsplit("\\", 1)[0]
            if parent == probe or len(parent) <= 2:
                break
            probe = parent
        if outermost is None:
            return
        upper = outermost.upper()
        if any(upper == d.upper() or upper.startswith(d.upper() + "\\")
               for d in (APP, RUNTIMES, TEST_DIR)):
            return
        self._added.append(outermost)

    def add_file(self, winpath: Text, data: Text = b"") -> Path:
        self._note_created(winpath)
        target = self.unix(winpath)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(to_bytes(data))
        return target

    def add_dir(self, winpath: Text) -> Path:
        self._note_created(winpath)
        target = self.unix(winpath)
        target.mkdir(parents=True, exist_ok=True)
        return target

    def copy_file(self, source: Path, winpath: Text) -> Path:
        self._note_created(winpath)
        target = self.unix(winpath)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        return target

    def add_product(self, winpath: Text = APP_EXE) -> Path:
        """Installs the launcher under another path or name (C:\\app\\Vendro.exe is there)."""
        if not PRODUCT.exists():
            raise RigError(f"the launcher is not built: {PRODUCT}")
        return self.copy_file(PRODUCT, winpath)

    def remove(self, winpath: Text) -> None:
        target = self.unix(winpath)
        if target == self.unix("C:\\") or target == self.unix(r"C:\windows"):
            raise ValueError(f"refusing to remove {to_str(winpath)!r}")
        if target.is_dir() and not target.is_symlink():
            shutil.rmtree(target)
        else:
            with contextlib.suppress(FileNotFoundError):
                target.unlink()

    def snapshot(self, folder: Text) -> dict:
        """Everything below a folder: relative path -> (is a folder, bytes of a file)."""
        root = self.unix(folder)
        return {p.relative_to(root): (p.is_dir(), None if p.is_dir() else p.read_bytes())
                for p in root.rglob("*")} if root.exists() else {}

    def read(self, winpath: Text) -> Optional[bytes]:
        return _read(self.unix(winpath))

    def write_options(self, data: Text, exe: str = APP_EXE) -> Path:
        """Writes the options file: the exe's path minus "exe" plus "pmr.ini"."""
        return self.add_file(exe[:-3] + "pmr.ini", data)

    def _make_app_layout(self) -> None:
        """The application folder a test starts from: the launcher, the updater stand-in,
        an empty lib folder and both SWT jars."""
        if PRODUCT.exists():
            shutil.copyfile(PRODUCT, self.add_dir(APP) / "Vendro.exe")
        shutil.copyfile(DOUBLES / "wyUpdate.exe", self.add_dir(APP) / "wyUpdate.exe")
        self.add_dir(APP + r"\lib")
        for jar in SWT_JARS:
            self.add_file(APP + r"\swt" + "\\" + jar, EMPTY_JAR)

    # -- registry ----------------------------------------------------------------------------

    def _check_view(self, view: int) -> None:
        if view not in self.views:
            raise ValueError(f"{self.name} has no {view}-bit registry view")

    def add_version_key(self, key: str, version: Text, java_home: Optional[Text],
                        view: int = 32, value_type: str = "sz") -> None:
        """Registers HKLM\\<key>\\<version> with the value JavaHome (none when java_home is
        None). value_type "sz" (REG_SZ), "expand_sz" (REG_EXPAND_SZ), "binary" (REG_BINARY),
        "dword" (REG_DWORD, its 4 bytes) or "multi_sz" (REG_MULTI_SZ, NUL-separated). Takes effect at the next launch."""
        self._check_view(view)
        self._import_path(key, view)  # reject a key that cannot be written, now
        if java_home is not None:
            reg_value(to_bytes(java_home), value_type)  # reject a bad value now, not at launch
        root = "\\".join(key.strip("\\").split("\\")[:2])
        if root.upper() not in (r.upper() for r in self._roots):
            self._roots.append(root)
        self._reg[view].append(VersionKey(key, version, java_home, value_type))

    def add_runtime(self, version: Text, home: Optional[str] = None, kind: str = "jre",
                    vendor: str = "JavaSoft", view: int = 32, launcher: bool = True) -> str:
        """Registers a runtime (kind "jre") or development kit ("jdk") of a vendor ("JavaSoft"
        or "IBM") and, with launcher=True, puts the stand-in javaw.exe where the launcher looks
        for it: <home>\\bin (runtime) or <home>\\jre\\bin (development kit). Returns the home."""
        key = RUNTIME_KEYS[(vendor, kind)]
        if home is None:
            home = rf"{RUNTIMES}\{view}\{vendor}-{kind}-{to_str(version)}"
        self.add_version_key(key, version, home, view=view)
        if launcher:
            bin_dir = win_join(home, "jre", "bin") if kind == "jdk" else win_join(home, "bin")
            self.copy_file(DOUBLES / "javaw.exe", win_join(bin_dir, "javaw.exe"))
        return home

    def _import_path(self, key: str, view: int) -> str:
        """Where reg.exe of the prefix's own bitness writes a key of the given view. The 32-bit
        view of HKLM\\SOFTWARE on 64-bit Windows is HKLM\\SOFTWARE\\Wow6432Node."""
        if view == 64 or not self.is64:
            return key
        first, _, rest = key.strip("\\").partition("\\")
        if first.upper() != "SOFTWARE":
            raise ValueError(f"a 32-bit view key must be below SOFTWARE: {key!r}")
        return "SOFTWARE\\Wow6432Node\\" + rest

    def reg_text(self) -> bytes:
        """The .reg file of a launch: delete the Java keys in every view, then write the test's
        additions. Both views go into one file with explicit Wow6432Node paths, because Wine's
        `reg import /reg:32` applies the deletions of a file to the 64-bit view."""
        lines = [b"REGEDIT4", b""]
        for view in self.views:
            for root in self._roots:
                lines += [b"[-HKEY_LOCAL_MACHINE\\" + to_bytes(self._import_path(root, view))
                          + b"]", b""]
        for view in self.views:
            for entry in self._reg[view]:
                lines += entry.reg_lines(self._import_path(entry.key, view)) + [b""]
        return b"\r\n".join(lines) + b"\r\n"

    def apply_registry(self) -> None:
        """One `reg import`, skipped when the registry already holds exactly this text (the
        registry outlives the processes of a test; the wineserver's restart at reset forgets
        what was imported)."""
        text = self.reg_text()
        if self._applied == text:
            return
        winpath = rf"{TEST_DIR}\java.reg"
        self.unix(winpath).write_bytes(text)
        self.wine(["reg", "import", winpath] + (["/reg:64"] if self.is64 else []),
                  loader=self.system_loader)
        self._applied = text

    def reg_query(self, key: str, view: int = 32) -> Optional[str]:
        """`reg query KEY /s` in one view: its text, or None when the key does not exist."""
        self._check_view(view)
        args = ["reg", "query", "HKLM\\" + key, "/s"] + ([f"/reg:{view}"] if self.is64 else [])
        done = self.wine(args, check=False, loader=self.system_loader)
        return done.stdout.decode("cp437", errors="replace") if done.returncode == 0 else None

    # -- launching ---------------------------------------------------------------------------

    def launch(self, args: Text = b"", *, exe: str = APP_EXE, cmdline: Optional[bytes] = None,
               cwd: Optional[Text] = None, env: Optional[Mapping[Text, Optional[Text]]] = None,
               unset: Iterable[Text] = (), answers: Union[str, Sequence[str]] = "ok",
               java_action: Optional[str] = None, update_exit: Optional[Text] = None,
               show: Optional[int] = None, relay: Optional[str] = None,
               trace: str = "+relay", timeout: float = 90) -> Result:
        """Starts `"<exe>" <args>` (or `cmdline` exactly) through runner.exe and waits for it.

        Message boxes are answered with `answers` ("ok", "cancel", or a list used in order,
        the last one repeating). `env` sets (value None: removes) Windows environment variables
        of the started program, `unset` removes some; "Pelmorin" is removed unless `env` sets
        it. `java_action` is the stand-in Java's FAKEJAVA_ACTION (default "exit:0"),
        `update_exit` the stand-in updater's exit code for its check run (default "0").
        `relay` is a regular expression: the program runs with Wine's +relay channel and the
        matching stderr lines end up in `result.relay`; `trace` names other Wine debug channels
        to filter instead (e.g. "+loaddll"). `timeout` is scaled.
        """
        timeout = scaled(timeout)
        if cmdline is None:
            if exe == APP_EXE and not self.unix(exe).exists():
                raise RigError(f"the launcher is not built: {PRODUCT}")
            cmdline = b'"' + to_bytes(exe) + b'" ' + to_bytes(args)
        for record in LAUNCH_FILES:
            self.remove(record)
        records = self._next_records()

        javas_before = frozenset(p.pid for p in self.java_processes())
        watcher = self._start_watcher(answers)
        errors = None
        try:
            self.apply_registry()
            self.unix(REQUEST).write_bytes(
                self._request(records, cmdline, cwd, env, unset, java_action, update_exit,
                              show, trace if relay is not None else None))
            def run_once():
                nonlocal errors
                runner, errors = self._start_runner(relay)
                started = time.monotonic()
                try:
                    runner.wait(timeout)
                except subprocess.TimeoutExpired:
                    boxes = self._stop_watcher(watcher)
                    raise LaunchTimeout(f"{self.name}: {cmdline!r} still ran after {timeout}s; "
                                        f"boxes seen: {boxes}")
                ran = runner, time.monotonic() - started, dict(
                    parse_items(self.read(RESULT) or b""))
                if ran[2] or self.unix(RUNNER_STARTED).exists():
                    return ran, None
                # Wine ended the runner before it started the command: the launcher never ran.
                return ran, (f"runner.exe ended with {runner.returncode} before it started the "
                             f"launcher; its error output ended with:\n{self._error_tail(errors)}")

            def forget_first() -> None:
                if relay is None:
                    errors.close()

            runner, elapsed, outcome = one_more_try(f"{self.name}: launching {cmdline!r}",
                                                    run_once, forget_first)
            relay_filter = errors if relay is not None else None
            if not outcome:
                if relay_filter:
                    relay_filter.snapshot()
                raise RigError(f"{self.name}: runner.exe ended with {runner.returncode} "
                               f"and left no result; its error output ended with:\n"
                               f"{self._error_tail(errors)}")
            relay_lines = relay_filter.snapshot() if relay_filter else None
        finally:
            boxes = self._stop_watcher(watcher)
            if errors is not None and relay is None:
                errors.close()

        exe_dir = to_str(exe).rsplit("\\", 1)[0]
        return Result(
            desk=self,
            records=records,
            exit_code=int(outcome["exit"]) if "exit" in outcome else None,
            pid=int(outcome["pid"]) if "pid" in outcome else None,
            error=int(outcome["error"]) if "error" in outcome else None,
            log=self.read(exe_dir + r"\pelmorin.log"),
            boxes=boxes,
            relay=relay_lines,
            elapsed=elapsed,
            javas_before=javas_before,
        )

    def launch_in_background(self, args: Text = b"", **options) -> concurrent.futures.Future:
        """`launch` in a thread, so that a test can look at the screen meanwhile (`windows()`);
        `.result()` gives its Result. Only one launch may run at a time: launches share their
        request and box files."""
        self._ensure_server()
        pool = concurrent.futures.ThreadPoolExecutor(1)
        pending = pool.submit(self.launch, args, **options)
        pool.shutdown(wait=False)
        self._pending.append(pending)
        return pending

    def _next_records(self) -> Records:
        """Record names of a new launch; the web addresses before it belong to the last one."""
        self._launches += 1
        urls = self.unix(URLS_REC)
        start = urls.stat().st_size if urls.exists() else 0
        if self._last_records is not None:
            self._last_records.urls_end = start
        self._last_records = Records(java=rf"{TEST_DIR}\java-{self._launches}.rec",
                                     updates=rf"{TEST_DIR}\update-{self._launches}.rec",
                                     urls_start=start)
        return self._last_records

    def _start_watcher(self, answers: Union[str, Sequence[str]]) -> subprocess.Popen:
        """Starts boxwatch and waits until it watches. Wine's services occasionally hang while
        a fresh wineserver starts them (seen once in about 150 launches), and once under heavy
        load the watcher's Wine ended with 1 before it ran: then the server is restarted and
        the watcher started once more, before the launcher runs at all. The first failure
        stays visible as a warning in the summary."""
        def start_once() -> tuple[Optional[subprocess.Popen], Optional[str]]:
            with tempfile.TemporaryFile() as errors:
                watcher = self._spawn([BOXWATCH, BOX_REC, _answers(answers), BOX_READY],
                                      stderr=errors)
                ready = wait_for(lambda: self.unix(BOX_READY).exists() or
                                 watcher.poll() is not None, scaled(20))
                if ready and watcher.poll() is None:
                    return watcher, None
                if watcher.poll() is None:
                    watcher.kill()
                    watcher.wait()
                    return None, "did not get ready"
                return None, f"ended with {watcher.returncode}: {self._error_tail(errors)}"

        return one_more_try(f"{self.name}: boxwatch", start_once, self.kill_server)

    def _request(self, records: Records, cmdline: bytes, cwd: Optional[Text],
                 env: Optional[Mapping[Text, Optional[Text]]], unset: Iterable[Text],
                 java_action: Optional[str], update_exit: Optional[Text], show: Optional[int],
                 trace: Optional[str]) -> bytes:
        """The runner's request. Variables are keyed case-blind, as Windows compares them."""
        changes: dict[bytes, tuple[bytes, Optional[bytes]]] = {}

        def put(name: Text, value: Optional[Text]) -> None:
            raw = to_bytes(name)
            changes[raw.upper()] = (raw, None if value is None else to_bytes(value))

        put("FAKEJAVA_RECORD", records.java)
        put("FAKEJAVA_ACTION", "exit:0" if java_action is None else java_action)
        put("FAKEUPDATE_RECORD", records.updates)
        put("FAKEUPDATE_EXIT", "0" if update_exit is None else update_exit)
        put("Pelmorin", None)
        if trace:
            # Through the Windows environment, so the runner's own calls stay out of the trace.
            put("WINEDEBUG", "-all," + trace)
        for name in unset:
            put(name, None)
        for name, value in (env or {}).items():
            put(name, value)

        request = hex_item("cmdline", cmdline)
        if cwd is not None:
            request += hex_item("cwd", cwd)
        for name, value in changes.values():
            request += hex_item("unset", name) if value is None else hex_item(
                "set", name + b"=" + value)
        if show is not None:
            request += hex_item("show", str(show))
        return request

    def _start_runner(self, relay: Optional[str]):
        """The runner, and where its error output goes: the relay filter, or a file whose end a
        rig error shows."""
        if relay is None:
            errors = tempfile.TemporaryFile()
            return self._spawn([RUNNER, REQUEST, RESULT], stderr=errors), errors
        read_end, write_end = os.pipe()
        try:
            runner = self._spawn([RUNNER, REQUEST, RESULT], stderr=write_end)
        finally:
            os.close(write_end)
        relay_filter = RelayFilter(read_end, relay)
        relay_filter.start()
        self._relays.append(relay_filter)
        return runner, relay_filter

    @staticmethod
    def _error_tail(errors) -> str:
        if isinstance(errors, RelayFilter):
            with errors.lock:
                return "\n".join(errors.tail)
        errors.seek(0)
        return errors.read()[-3000:].decode("latin-1")

    def _stop_watcher(self, watcher: subprocess.Popen) -> list[dict]:
        """Asks boxwatch to stop (its stop file), then reads what it recorded."""
        if watcher.poll() is None:
            self.unix(BOX_STOP).write_bytes(b"")
            try:
                watcher.wait(10)
            except subprocess.TimeoutExpired:
                watcher.kill()
                watcher.wait()
        data = self.read(BOX_REC) or b""
        return [parse_box_line(line) for line in data.split(b"\n")[:-1] if line.strip()]

    def diagnose(self, folder: str = APP, *, cwd: str = TEST_DIR,
                 env: Optional[Mapping[Text, Optional[Text]]] = None) -> dict[str, str]:
        """Runs the desk diagnostic from `folder` (copied there first) with /q, started from
        another folder (`cwd`), with its temporary folder in the test folder. Returns the
        report's sections by title (code page 1252 text), after checking that it changed
        nothing: exit code 0, no box, no Java or updater started, the folder as it was."""
        exe = folder + "\\" + DIAGNOSTIC.name
        self.copy_file(DIAGNOSTIC, exe)
        before = self.snapshot(folder)
        report_dir = TEST_DIR + r"\tmp"
        self.add_dir(report_dir)
        report_path = report_dir + r"\diagnostico-vendro.txt"
        self.remove(report_path)
        result = self.launch(b"/q", exe=exe, cwd=cwd,
                             env={"TEMP": report_dir, "TMP": report_dir, **(env or {})})
        assert result.exit_code == 0, result
        assert (result.boxes, result.java, result.updates) == ([], None, [])
        assert self.snapshot(folder) == before  # no log, no report, nothing else written there
        text = (self.read(report_path) or b"").decode("cp1252")
        assert text.endswith("===== Fin del diagnóstico =====\r\n"), text[-500:]
        parts = re.split(r"^===== (.+?) =====\r$", text, flags=re.M)
        return dict(zip(parts[1::2], parts[2::2]))

    # -- helpers for checks ------------------------------------------------------------------

    def probe(self) -> str:
        """The Windows path of the probe program, installed with the stand-ins."""
        return PROBE

    def start_stand_in(self, action: str, program: str = "javaw.exe") -> int:
        """Starts the stand-in javaw.exe on its own (not as the launcher's child) with
        FAKEJAVA_ACTION `action` and leaves it running; returns its Windows process id. With
        another `program` name a copy of it runs, as another program would (explorer.exe)."""
        exe = FAKE_JAVA
        if program != "javaw.exe":
            exe = rf"{TEST_DIR}\{program}"
            self.copy_file(DOUBLES / "javaw.exe", exe)
        result = self.launch(cmdline=to_bytes(f'"{PROBE}" start {exe}'), java_action=action)
        if result.exit_code != 0 or result.java is None:
            raise RigError(f"{self.name}: {program} {action!r} was not started: {result}")
        return int(result.java["pid"])

    def open_window(self, title: Text, hidden: bool = False, program: str = "javaw.exe") -> int:
        """`start_stand_in` with one window of this title, visible or hidden, once it is
        there; returns its Windows process id."""
        verb = "hidden" if hidden else "window"
        pid = self.start_stand_in(f"{verb}:{to_str(title)}", program)
        if not wait_for(lambda: any(w.pid == pid and w.title == to_bytes(title)
                                    for w in self.windows()), scaled(10), 0.1):
            raise RigError(f"{self.name}: the window {title!r} did not appear")
        return pid

    def windows(self) -> list[Window]:
        """The top-level windows of this desk, top of the Z order first (`probe windows`)."""
        winpath = TEST_DIR + r"\windows.rec"
        self.remove(winpath)
        self.wine([self.probe(), "windows", winpath])
        data = self.read(winpath) or b""
        return [Window.parse(line) for line in data.split(b"\n") if line.strip()]

    def _read_error_texts(self, first: int, last: int) -> dict[int, bytes]:
        winpath = TEST_DIR + r"\errors.rec"
        self.remove(winpath)
        self.wine([self.probe(), "errors", winpath, str(first), str(last)], timeout=120)
        return {int(code): text for code, text in parse_items(self.read(winpath) or b"")}

    def error_table(self) -> dict[int, bytes]:
        """System error texts of the codes 0..15999 (code -> text with its line end), as
        FormatMessageA gives them in this prefix with the flags and language of the failure
        report. Read once per session."""
        if self._error_texts is None:
            self._error_texts = self._read_error_texts(0, 15999)
        return self._error_texts

    def error_texts(self) -> frozenset[bytes]:
        """Every system error text, for a check whose error code is not known."""
        return frozenset(self.error_table().values())

    def error_text(self, code: int) -> Optional[bytes]:
        """The system's text for one error code, or None when it has none."""
        if 0 <= code <= 15999:
            return self.error_table().get(code)
        return self._read_error_texts(code, code).get(code)

    # -- life cycle --------------------------------------------------------------------------

    def reset(self) -> None:
        """Back to the state a test starts from: no Windows process, no records, a fresh
        application folder, no runtimes, no registry additions."""
        self.kill_server()
        for pending in self._pending:  # their programs have just been ended
            with contextlib.suppress(Exception):  # what went wrong was the test's to report
                pending.result(30)
        self._pending.clear()
        for path in (APP, RUNTIMES, URLS_REC, *LAUNCH_FILES, *self._added):
            self.remove(path)
        for numbered in [*self.unix(TEST_DIR).glob("java-*.rec"),
                         *self.unix(TEST_DIR).glob("update-*.rec")]:
            numbered.unlink()
        self._added.clear()
        self._last_records = None
        self._reg = {v: [] for v in self.views}
        self._make_app_layout()

    def setup(self) -> None:
        """Session start: the prefix (made once), the stand-ins, the web-address recorder."""
        PREFIXES.mkdir(parents=True, exist_ok=True)
        # One session per prefix at a time: a second one would kill the first one's programs.
        self._lock_file = open(PREFIXES / f"{self.name}.lock", "w")
        fcntl.flock(self._lock_file, fcntl.LOCK_EX)
        self._make_prefix()
        self.kill_server()  # whatever an interrupted earlier session left running
        missing = [n for n in DOUBLE_NAMES if not (DOUBLES / f"{n}.exe").exists()]
        if missing:
            raise RigError(f"test doubles not built in {DOUBLES}: {', '.join(missing)}")
        for name in DOUBLE_NAMES:
            self.copy_file(DOUBLES / f"{name}.exe", rf"{TEST_DIR}\{name}.exe")
        self._configure()
        self._check_can_run()
        self.calibrate()
        self.reset()

    def close(self) -> None:
        self.kill_server()
        if self._lock_file:
            self._lock_file.close()
            self._lock_file = None

    def _make_prefix(self) -> None:
        """Runs wineboot once; the stamp file marks a complete setup with this Wine version."""
        stamp = self.prefix / ".vendro-rig"
        version = subprocess.run([WINE, "--version"], capture_output=True,
                                 env=self.env()).stdout.decode().strip()
        # A prefix made by the 64-bit loader alone lacks the 32-bit system: remade for x86.
        want = f"{ARCH[self.name]} {version} {BUILD_KIND}\n"
        if stamp.exists() and stamp.read_text() == want:
            return
        if self.prefix.exists():
            shutil.rmtree(self.prefix)  # an interrupted or outdated setup
        started = time.monotonic()
        env = self.env(WINEARCH=ARCH[self.name])
        run_to_files([WINE, "wineboot", "-i"], env=env, timeout=600, what="wineboot -i")
        subprocess.run([WINESERVER, "-w"], env=env, timeout=600, check=False)
        if not (self.prefix / "system.reg").exists():
            raise RigError(f"wineboot did not make the prefix {self.prefix}")
        stamp.write_text(want)
        self.prefix_seconds = time.monotonic() - started

    def _configure(self) -> None:
        """Registry settings of the session: urlrec becomes the `open` command of http and
        https, in both registry views of the 64-bit prefix (a 32-bit ShellExecuteA reads the
        32-bit view of the classes), and Wine shows its windows on a virtual desktop as large
        as the X screen. Xvfb has no window manager: without the virtual desktop Wine waits two
        seconds for the manager whenever it hides a top-level window (each closed message box,
        each hidden splash), and windows get no frame or title bar in screenshots."""
        command = rf'"{URLREC}" "{URLS_REC}" "%1"'.encode("cp1252")
        explorer = b"HKEY_CURRENT_USER\\Software\\Wine\\Explorer"
        lines = [b"REGEDIT4", b"",
                 b"[" + explorer + b"]", b'"Desktop"="Default"', b"",
                 b"[" + explorer + b"\\Desktops]", b'"Default"="%dx%d"' % SCREEN, b""]
        for scheme in (b"http", b"https"):
            root = b"HKEY_CLASSES_ROOT\\" + scheme + b"\\shell\\open"
            lines += [b"[-" + root + b"\\ddeexec]", b"",
                      b"[" + root + b"\\command]", b"@=" + reg_value(command, "sz"), b""]
        winpath = rf"{TEST_DIR}\session.reg"
        self.unix(winpath).write_bytes(b"\r\n".join(lines) + b"\r\n")
        for view in self.views:
            self.wine(["reg", "import", winpath] + ([f"/reg:{view}"] if self.is64 else []),
                      loader=self.system_loader)

    def calibrate(self) -> None:
        """Sets the time scale, once per session, from three warm starts of the updater
        stand-in through the runner (the middle one counts)."""
        global _time_scale
        if _time_scale is not None:
            return
        times = []
        for _ in range(3):
            started = time.monotonic()
            self._check_can_run()
            times.append(time.monotonic() - started)
        _time_scale = min(20.0, max(1.0, sorted(times)[1] / WARM_START_SECONDS))

    def _check_can_run(self) -> None:
        """Starts the updater stand-in through the runner once, so that a machine that cannot
        run the stand-ins fails here with one clear message instead of in every test."""
        self.unix(REQUEST).write_bytes(hex_item("cmdline", f'"{FAKE_UPDATE}"'))
        self.remove(RESULT)
        done = self.wine([RUNNER, REQUEST, RESULT], check=False, timeout=120)
        outcome = dict(parse_items(self.read(RESULT) or b""))
        if outcome.get("exit") != b"0":
            raise RigError(
                f"{self.name}: cannot run the stand-ins under Wine (wine exit code "
                f"{done.returncode}, result {outcome}): "
                f"{done.stderr.decode(errors='replace')[-1500:]}")


def record_host_run(desks: Sequence[str]) -> None:
    """Writes which launcher this run tested and the prefixes it was set up in. The guest's run
    is skipped only when this says that the shipped 32-bit build ran in both prefixes."""
    BUILD.mkdir(exist_ok=True)
    HOST_RUN.write_text(f"build={BUILD_KIND}\nproduct={PRODUCT.resolve()}\n"
                        f"prefixes={' '.join(sorted(set(desks)))}\n")


def _answers(answers: Union[str, Sequence[str]]) -> str:
    return answers if isinstance(answers, str) else ",".join(answers)


@contextlib.contextmanager
def open_desk(name: str, display: str) -> Iterator[Desk]:
    """A set-up Desk for use outside pytest (the demo); ends its processes on the way out."""
    desk = Desk(name, display)
    try:
        desk.setup()
        yield desk
    finally:
        desk.close()
