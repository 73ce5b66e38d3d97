"""Installations as support technicians leave them: odd folders, registry values of every type,
broken options files, crowded or odd `lib` folders, a hostile environment, a strange updater and
log file, Java programs that end at once. Whatever is there, the launcher ends with one of its
own exit codes, never starts Java with a cut argument, says in a box or in the log what is
wrong, and writes nothing but `pelmorin.log`."""

from __future__ import annotations

import dataclasses
import random
import re
import subprocess
from typing import Callable, Optional

import pytest

import rig
from expect import GENERAL_FAILURE, INVALID_JAVA

JRE_KEY = r"SOFTWARE\JavaSoft\Java Runtime Environment"
JRE8 = r"C:\rt\jre8"
MAIN_CLASS = b"es.tramontel.ventalia.IniciarVentalia"
CAPTIONS = {b"Vendro ERROR", b"Pelmorin", b"Error...", b"Actualizaci\xf3n"}
LONGER = b"Options:\tlonger than 31722 bytes, the rest is not read"


@dataclasses.dataclass
class Row:
    name: str
    setup: Callable[[rig.Desk], Optional[dict]]  # may return launch() options
    exits: tuple  # the exit codes this row may end with
    says: bytes  # found in the log or in a box: what is wrong, or what was used
    java: Optional[bool] = True  # whether the Java program starts (None: either)
    runtime: bool = True  # a usable runtime at C:\rt\jre8 besides what setup adds
    guest: bool = False  # the row of its kind that also runs with the 32-bit build in the guest
    waited: float = 0.0  # seconds the start takes at least


def app_at(folder: str) -> Callable[[rig.Desk], dict]:
    def setup(desk):
        desk.add_product(folder + r"\Vendro.exe")
        desk.copy_file(rig.DOUBLES / "wyUpdate.exe", folder + r"\wyUpdate.exe")
        desk.add_file(folder + r"\lib\ventas.jar", rig.EMPTY_JAR)
        for jar in rig.SWT_JARS:
            desk.add_file(folder + r"\swt" + "\\" + jar, rig.EMPTY_JAR)
        return dict(exe=folder + r"\Vendro.exe")
    return setup


def java_home(value: bytes, value_type: str = "sz") -> Callable[[rig.Desk], None]:
    def setup(desk):
        desk.add_version_key(JRE_KEY, "1.8.0_45", value, value_type=value_type)
    return setup


def options(data: bytes, **launch) -> Callable[[rig.Desk], dict]:
    def setup(desk):
        desk.write_options(data)
        return launch
    return setup


def jars(*names: str) -> Callable[[rig.Desk], None]:
    def setup(desk):
        for name in names:
            desk.add_file(r"C:\app\lib" + "\\" + name, rig.EMPTY_JAR)
    return setup


def both(first, second) -> Callable[[rig.Desk], None]:
    def setup(desk):
        first(desk)
        second(desk)
    return setup


def many_versions(desk):
    # One import for all of them; the usable one comes last in version order.
    for n in range(999):
        desk.add_version_key(JRE_KEY, f"1.6.0_{n:03d}", r"C:\rt\old")
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8b")


def lib_is_a_file(desk):
    desk.remove(r"C:\app\lib")
    desk.add_file(r"C:\app\lib", b"not a folder")


def log_as(kind: str) -> Callable[[rig.Desk], None]:
    def setup(desk):
        if kind == "folder":
            desk.add_dir(r"C:\app\pelmorin.log")
        else:
            # Root writes files whatever their mode; the immutable flag stops even root.
            desk.add_file(r"C:\app\pelmorin.log", b"old\r\n")
            subprocess.run(["chattr", "+i", desk.unix(r"C:\app\pelmorin.log")], check=True)
    return setup


def log_held_open(desk):
    """Another program holds pelmorin.log open and shares nothing, for longer than the start."""
    log = r"C:\app\pelmorin.log"
    desk._spawn([rig.PROBE, "hold", log, str(int(rig.scaled(60) * 1000))])
    assert rig.wait_for(lambda: desk.unix(log + ".held").exists(), rig.scaled(10), 0.05)


def junk(seed: int, size: int) -> bytes:
    # Every byte but NUL and Ctrl-Z, which have rows of their own.
    rng = random.Random(seed)
    return bytes(rng.choice([b for b in range(256) if b not in (0, 26)]) for _ in range(size))


ROWS = [
    # The application folder
    Row("folder with blanks and cp1252 letters", app_at("C:\\Taquilla \xf1\xe9\u20ac Uno"), (0,),
        b"C:\\Taquilla \xf1\xe9\x80 Uno\\lib\\ventas.jar"),
    Row("folder of 200 characters", app_at("C:\\" + "c" * 197), (0,), b"Runtime used:"),
    # The longest folder from which the system starts a program at all: its path has 259 bytes.
    Row("folder of 248 characters", app_at("C:\\" + "c" * 245), (1,), b" (too long)", False,
        guest=True),
    # JavaHome of every kind
    Row("JavaHome REG_DWORD", java_home(b"\x01\0\0\0", "dword"), (1,), INVALID_JAVA, False,
        False),
    Row("JavaHome REG_BINARY without terminator", java_home(JRE8.encode(), "binary"), (0,),
        b"Runtime used:\t1.8.0_45", guest=True),
    Row("JavaHome REG_EXPAND_SZ", java_home(b"%SystemDrive%\\rt\\jre8", "expand_sz"), (1,),
        INVALID_JAVA, False, False),
    Row("JavaHome REG_MULTI_SZ", java_home(JRE8.encode() + b"\0C:\\otro", "multi_sz"), (0,),
        b"Runtime used:\t1.8.0_45"),
    Row("JavaHome empty", java_home(b""), (1,), INVALID_JAVA, False, False),
    Row("JavaHome of 259 bytes", java_home(b"C:\\" + b"h" * 256), (1,), b"(too long, not",
        False, False),
    Row("JavaHome of 260 bytes", java_home(b"C:\\" + b"h" * 257, "binary"), (1,), b"Ignore:",
        False, False),
    Row("JavaHome naming a file", both(lambda d: d.add_file(r"C:\rt\java.txt", b"x"),
                                       java_home(b"C:\\rt\\java.txt")), (1,),
        b"(not found)", False, False),
    Row("JavaHome with a trailing backslash", java_home(JRE8.encode() + b"\\"), (0,),
        b"Runtime used:\t1.8.0_45"),
    Row("JavaHome relative", java_home(b"rt\\jre8"), (1,), INVALID_JAVA, False, False),
    # Version keys
    Row("1000 version keys", many_versions, (0,), b"Runtime used:\t1.8.0_45", runtime=False),
    Row("version name of 255 characters",
        lambda d: d.add_version_key(JRE_KEY, "1.8" + "9" * 252, JRE8), (0,),
        b"Runtime used:\t1.8.0_45", guest=True),
    Row("version name with bytes above 127",
        lambda d: d.add_runtime(b"1.8.0_\xe9", home=r"C:\rt\jre8e") and None, (0,),
        b"Runtime used:\t1.8.0_\xe9"),
    # Options files
    Row("options of binary junk", options(junk(1, 3000)), (0, 1), b"Loading:"),
    Row("options with NUL bytes", options(b"-Xmx64m\0-Dtras=nul\r\n-Dy=2"), (0,),
        b"Options:\tend at a NUL byte"),
    Row("options with an early Ctrl-Z", options(b"-Xmx64m\r\n\x1a-Dno=leido"), (0,), b"-Xmx64m"),
    # Longer than what is read: the lines read whole are used, a cut one never.
    Row("options file of 1 MB", options(b"-Dk=" + b"v" * (1 << 20)), (0,), LONGER),
    Row("options line of 40 KB", options(b"-Dk=" + b"v" * 40960 + b"\r\n"), (0,), LONGER),
    Row("options of 48 KB in short CR LF lines", options(b"-Dk=v\r\n" * 8000), (0,), LONGER),
    Row("options file one byte over what is read", options(b"-Dk=" + b"v" * (31722 - 3)), (0,),
        LONGER, guest=True),
    Row("options only comments", options(b"# uno\r\n#dos\r\n   # tres\r\n"), (0,),
        b"Loading:"),
    Row("options with long runs of %", options(b"-Da=" + b"%" * 5001 + b" -Db=1"), (0,),
        b"Loading:"),
    Row("options referring to a 32 KB variable",
        options(b"-Dgrande=%GRANDE%", env={"GRANDE": "g" * 32700}), (1,), GENERAL_FAILURE,
        False),
    # lib
    Row("3000 jars", jars(*(f"modulo{n:04d}.jar" for n in range(3000))), (1,), GENERAL_FAILURE,
        False),
    Row("a folder named x.jar", lambda d: d.add_dir(r"C:\app\lib\x.jar") and None, (0,),
        b"C:\\app\\lib\\x.jar"),
    Row("jar names with cp1252 letters", jars("A\xf1o\u20ac.jar", "caf\xe9.jar"), (0,),
        b"C:\\app\\lib\\A\xf1o\x80.jar", guest=True),
    Row("lib that cannot be listed", lib_is_a_file, (0,), b"Add classpath:"),
    # The environment
    Row("Path near 32 K characters", lambda d: dict(env={"Path": "C:\\" + "p" * 32700}), (0,),
        b"Runtime used:"),
    Row("Path too long for the runtime's bin", lambda d: dict(env={"Path": "C:\\" + "p" * 32755}),
        (1,), b"appendToPathVar failed.", False, guest=True),
    Row("PWD and OLDPWD odd", lambda d: dict(env={"PWD": "\\\\?\\Z:\\%PWD%", "OLDPWD": "\u20ac;"}),
        (0,), b"Runtime used:"),
    # The updater
    Row("updater missing", lambda d: d.remove(r"C:\app\wyUpdate.exe"), (0,), b"Error..."),
    Row("a folder named wyUpdate.exe", both(lambda d: d.remove(r"C:\app\wyUpdate.exe"),
                                            lambda d: d.add_dir(r"C:\app\wyUpdate.exe")),
        (0,), b"Error..."),
    Row("updater crashing", lambda d: dict(update_exit=str(0xC0000005)), (0,), b"Runtime used:",
        guest=True),
    Row("updater taking 15 s", lambda d: dict(env={"FAKEUPDATE_SLEEP": "15000"}), (0,),
        b"Runtime used:", waited=15.0),  # a slow check within the 20 s bound is waited for
    # The debug log
    Row("pelmorin.log read-only", log_as("read-only"), (1,), b"Pelmorin", False),
    Row("a folder named pelmorin.log", log_as("folder"), (1,), b"Pelmorin", False),
    Row("pelmorin.log held open without sharing", log_held_open, (1,), b"Pelmorin", False,
        guest=True),
    # The Java program
    Row("Java exiting at once with 1", lambda d: dict(args=b"--pmr-debug", java_action="exit:1"),
        (1,), b"Exit code:\t1"),
    Row("Java crashing", lambda d: dict(args=b"--pmr-debug", java_action="exit:3221225477"),
        (3221225477,), b"Exit code:\t-1073741819", guest=True),
]


def classpath_entries(args: bytes) -> list[bytes]:
    """The class path the launcher appended, read from the end of the argument text (options
    before it may hold quotes of their own)."""
    tail = re.search(rb'-classpath "([^"]*)" ' + re.escape(MAIN_CLASS) + rb" $", args)
    assert tail, args[-300:]
    return tail.group(1).split(b";")


@pytest.mark.parametrize("row", [
    pytest.param(r, id=r.name, marks=pytest.mark.guest if r.guest else ()) for r in ROWS])
def test_hostile_installation(desk, row):
    if row.runtime:
        desk.add_runtime("1.8.0_45", home=JRE8)
    launch = dict(args=b"--pmr-debug --pmr-no-splash")
    launch.update(row.setup(desk) or {})
    folder = rig.to_str(launch.get("exe", rig.APP_EXE)).rsplit("\\", 1)[0]
    before = desk.snapshot(folder)

    try:
        result = desk.launch(launch.pop("args"), timeout=60, **launch)
    finally:
        log = desk.unix(folder + r"\pelmorin.log")
        if log.is_file():
            subprocess.run(["chattr", "-i", log], check=True)

    assert result.exit_code in row.exits, result
    assert result.elapsed >= row.waited
    assert {box["caption"] for box in result.boxes} <= CAPTIONS
    said = (result.log or b"") + b"".join(b["caption"] + b"\n" + b["text"] for b in result.boxes)
    assert row.says in said
    if row.java is not None:
        assert (result.java is not None) == row.java
    if result.java is not None:
        # Whatever the options held, the launcher's own part arrives whole: the fixed option
        # first, every class path entry a file that is there, the main class last.
        assert result.java_args.startswith(b"-Dfile.encoding=UTF-8 ")
        assert all(desk.unix(entry).exists() for entry in classpath_entries(result.java_args))
        assert desk.unix(result.java_program).is_file()
    after = desk.snapshot(folder)
    changed = {p for p in before.keys() | after.keys() if before.get(p) != after.get(p)}
    assert changed <= {rig.Path("pelmorin.log")}


def test_two_launchers_started_together_start_one_java_program(desk):
    desk.add_runtime("1.8.0_45", home=JRE8)
    both = rb'cmd /c start "" C:\app\Vendro.exe & start "" C:\app\Vendro.exe'

    def javas():
        return [p for p in desk.windows_processes() if p.args.startswith(JRE8 + r"\bin\javaw")]

    for _ in range(10):
        desk.launch(cmdline=both, java_action="window:Vendro - Taquilla")
        assert rig.wait_for(lambda: javas(), rig.scaled(10), 0.1)
        # Both launchers have had time to decide: the second one starts nothing.
        assert rig.wait_for(lambda: not any("Vendro.exe" in p.args
                                            for p in desk.windows_processes()),
                            rig.scaled(15), 0.2)
        assert len(javas()) == 1
        desk.kill_server()  # ends the Java program for the next round
