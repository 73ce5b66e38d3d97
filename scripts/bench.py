"""Benchmark of the launcher's own cost: Vendro.exe against a bare start, how it grows with the
installation, the splash's appearance, and the size of the executable.

Runs under Wine and Xvfb with the end-to-end rig's Windows installation (build/wine/win64) and
writes docs/performance.md and docs/performance.svg. Started by scripts/bench.sh, which builds
what it needs first.

    /usr/bin/python3 scripts/bench.py [--runs 60] [--growth-runs 60] [--splash-runs 30]

Times are taken inside Windows with QueryPerformanceCounter: runner.exe reads it just before it
starts the program and as soon as the program has ended, the stand-in javaw.exe reads it first
thing. "Time to Java" is the stand-in's reading minus the runner's start; "whole run" is the
runner's end minus its start. Every configuration is started in turn within each round, so that
the load of the machine falls on all of them alike.
"""

from __future__ import annotations

import argparse
import datetime
import os
import json
import platform
import random
import re
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import rig  # noqa: E402

BENCH = r"C:\bench"
JAVA_REC = rig.TEST_DIR + r"\bench-java.rec"
RUNTIME_VERSION = "1.9.0"  # the usable runtime, last in version order
RUNTIME_HOME = rig.RUNTIMES + r"\bench-jre"
MISSING_HOME = rig.RUNTIMES + r"\no-launcher"
JRE_KEY = rig.RUNTIME_KEYS[("JavaSoft", "jre")]
VERSION_COUNTS = (1, 100, 1000)
JAR_COUNTS = (0, 100, 1000)
OPTION_SIZES = (0, 1024, 30 * 1024)
COMMAND_LINE_LIMIT = 32767  # characters of a Windows command line
NO_SPLASH = "--pmr-no-splash"
SPLASH_CLASS = "Static"
DOCS = ROOT / "docs"
RESULTS = ROOT / "build" / "bench" / "results.json"
SETTLE = 0.2  # seconds of rest after a registry import, before the next timed start


# ---------------------------------------------------------------------------------------------
# Statistics


def summary(values: list[float]) -> dict:
    """Median, p10 and p90 (inclusive quantiles) of the values, in milliseconds."""
    ms = sorted(v * 1000 for v in values)
    tenths = statistics.quantiles(ms, n=10, method="inclusive") if len(ms) > 1 else ms * 9
    return {"n": len(ms), "median": statistics.median(ms), "p10": tenths[0], "p90": tenths[-1]}


# ---------------------------------------------------------------------------------------------
# The installation


class Bench:
    """The desk and the application folders of every configuration, each a copy of the
    launcher with its own lib folder and options file under C:\\bench."""

    def __init__(self, desk: rig.Desk):
        self.desk = desk
        self.folders: dict[str, str] = {}
        self.registry_state: int | None = None

    def folder(self, name: str, jars: int = 0, jar_folder_name: str | None = None,
               options: bytes | None = None) -> str:
        base = rf"{BENCH}\{name}"
        self.desk.add_dir(base + r"\lib")
        self.desk.copy_file(rig.PRODUCT, base + r"\Vendro.exe")
        self.desk.copy_file(rig.DOUBLES / "wyUpdate.exe", base + r"\wyUpdate.exe")
        for bare in ("bare.exe", "bare_imports.exe"):
            self.desk.copy_file(rig.DOUBLES / bare, base + "\\" + bare)
        for jar in rig.SWT_JARS:
            self.desk.add_file(base + r"\swt" + "\\" + jar, rig.EMPTY_JAR)
        self.add_jars(base, 0, jars)
        if options is not None:
            self.desk.write_options(options, exe=base + r"\Vendro.exe")
        self.folders[name] = base
        return base

    def add_jars(self, base: str, first: int, end: int) -> None:
        lib = self.desk.unix(base + r"\lib")
        for number in range(first, end):
            (lib / f"j{number:04d}.jar").write_bytes(rig.EMPTY_JAR)

    def remove_jars(self, base: str, first: int, end: int) -> None:
        lib = self.desk.unix(base + r"\lib")
        for number in range(first, end):
            (lib / f"j{number:04d}.jar").unlink(missing_ok=True)

    def use_versions(self, count: int) -> None:
        """count version keys in the 32-bit view (the one the launcher scans first): count - 1
        unusable ones (their home has no bin\\javaw.exe) and the usable one last in version
        order. One `reg import`; skipped when the registry already holds this state."""
        if self.registry_state == count:
            return
        lines = [b"REGEDIT4", b""]
        for root in rig.JAVA_ROOTS:
            for view_root in (root, root.replace("SOFTWARE", r"SOFTWARE\Wow6432Node", 1)):
                lines += [b"[-HKEY_LOCAL_MACHINE\\" + view_root.encode() + b"]", b""]
        key32 = JRE_KEY.replace("SOFTWARE", r"SOFTWARE\Wow6432Node", 1)
        keys = [rig.VersionKey(JRE_KEY, f"1.8.0_{n:04d}", rf"{MISSING_HOME}\{n}")
                for n in range(count - 1)]
        keys.append(rig.VersionKey(JRE_KEY, RUNTIME_VERSION, RUNTIME_HOME))
        for key in keys:
            lines += key.reg_lines(key32) + [b""]
        winpath = rig.TEST_DIR + r"\bench.reg"
        self.desk.unix(winpath).write_bytes(b"\r\n".join(lines) + b"\r\n")
        self.desk.wine(["reg", "import", winpath, "/reg:64"], timeout=300)
        time.sleep(SETTLE)
        self.registry_state = count

    # -- one start ---------------------------------------------------------------------------

    def java_gone(self) -> bool:
        return not any("javaw.exe" in p.args.lower() for p in self.desk.windows_processes())

    def start(self, cmdline: bytes, *, java_action: str = "exit:0", watch: str = "") -> dict:
        """Starts cmdline through runner.exe; answers the runner's result and the Java
        stand-in's record, with the times in seconds."""
        desk = self.desk
        if not rig.wait_for(self.java_gone, 30, 0.02):
            raise rig.RigError("the Java stand-in of the last start still runs")
        desk.remove(JAVA_REC)
        desk.remove(rig.RESULT)
        request = rig.hex_item("cmdline", cmdline)
        request += rig.hex_item("set", f"FAKEJAVA_RECORD={JAVA_REC}")
        request += rig.hex_item("set", f"FAKEJAVA_ACTION={java_action}")
        request += rig.hex_item("set", "FAKEUPDATE_EXIT=0")
        for name in ("Pelmorin", "FAKEUPDATE_RECORD"):
            request += rig.hex_item("unset", name)
        if watch:
            request += rig.hex_item("watch", watch)
        desk.unix(rig.REQUEST).write_bytes(request)
        desk.wine([rig.RUNNER, rig.REQUEST, rig.RESULT], timeout=120)
        result = dict(rig.parse_items(desk.read(rig.RESULT) or b""))
        if "qpc_start" not in result:
            raise rig.RigError(f"runner left no times: {result}")
        freq = int(result["qpc_freq"])
        start = int(result["qpc_start"])
        out = {"exit": int(result["exit"]), "run": (int(result["qpc_end"]) - start) / freq}
        if "qpc_window" in result:
            out["window"] = (int(result["qpc_window"]) - start) / freq
        # The stand-in writes its record in one piece, si_stderr last.
        rig.wait_for(lambda: b"\nsi_stderr=" in (desk.read(JAVA_REC) or b""), 10, 0.01)
        java = dict(rig.parse_items(desk.read(JAVA_REC) or b""))
        if "qpc" not in java:
            raise rig.RigError(f"no Java record after {cmdline[:300]!r} (exit {out['exit']})")
        out["java"] = (int(java["qpc"]) - start) / freq
        out["cmdline"] = java["cmdline"]
        return out

    def launcher(self, folder: str, args: str = NO_SPLASH, **options) -> dict:
        exe = self.folders[folder] + r"\Vendro.exe"
        return self.start(f'"{exe}" {args}'.encode("cp1252"), **options)

    def bare(self, folder: str, java_cmdline: bytes, name: str = "bare") -> dict:
        exe = self.folders[folder] + f"\\{name}.exe"
        return self.start(f'"{exe}" '.encode("cp1252") + java_cmdline)


# ---------------------------------------------------------------------------------------------
# The run


def options_text(size: int) -> bytes:
    """An options file of about `size` bytes: one option a line, each with a reference to the
    executable's folder and a comment."""
    lines, total, number = [], 0, 0
    while total < size:
        line = f"-Dbench.o{number:04d}=%EXEDIR%\\data{number:04d} # option {number}\r\n".encode()
        lines.append(line)
        total += len(line)
        number += 1
    return b"".join(lines)[:size] if size else b""


def starts_java(bench: Bench, folder: str) -> bool:
    """Whether the launcher of this folder starts Java. Through the rig's own launch, whose
    watcher answers the failure box of a class path that does not fit; it imports the desk's
    registry (the one usable runtime), so the benchmark's registry state is forgotten."""
    bench.registry_state = None
    result = bench.desk.launch(NO_SPLASH, exe=bench.folders[folder] + r"\Vendro.exe")
    return result.exit_code == 0 and result.java is not None


def largest_jar_count(bench: Bench, folder: str, start_count: int) -> int:
    """The most jars whose class path still fits: estimated from the command line with
    start_count jars, then checked by starting with that many (must start Java) and with one
    more (must fail)."""
    base = bench.folders[folder]
    bench.use_versions(1)
    first = bench.launcher(folder)
    entry = len(f"{base}\\lib\\j0000.jar;")
    count = start_count + (COMMAND_LINE_LIMIT - len(first["cmdline"])) // entry
    bench.add_jars(base, start_count, count)
    while not starts_java(bench, folder):
        count -= 1
        bench.remove_jars(base, count, count + 1)
    while True:
        bench.add_jars(base, count, count + 1)
        if not starts_java(bench, folder):
            bench.remove_jars(base, count, count + 1)
            return count
        count += 1


def uptime() -> str:
    return subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip()


def machine() -> dict:
    cpu = "unknown"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([rig.WINE, "--version"], capture_output=True, text=True).stdout.strip()
    return {"cpu": cpu, "cores": os.cpu_count(), "kernel": platform.release(),
            "os": " ".join(platform.freedesktop_os_release().get(k, "")
                           for k in ("NAME", "VERSION")).strip(),
            "wine": wine}


def sections(exe: Path) -> list[tuple[str, int]]:
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-h", str(exe)], capture_output=True,
                          text=True, check=True).stdout
    return [(name, int(size, 16)) for name, size in
            re.findall(r"^\s*\d+\s+(\S+)\s+([0-9a-f]{8})\s", dump, re.M)]


def run(args) -> dict:
    data: dict = {"machine": machine(), "load_before": uptime(),
                  "date": datetime.datetime.now(datetime.timezone.utc).strftime(
                      "%Y-%m-%d %H:%M UTC"),
                  "build": rig.BUILD_KIND, "runs": args.runs, "growth_runs": args.growth_runs,
                  "splash_runs": args.splash_runs, "warmup": args.warmup}
    began = time.monotonic()
    with rig.Xvfb() as display:
        with rig.open_desk("win64", display) as desk:
            bench = Bench(desk)
            desk.add_version_key(JRE_KEY, RUNTIME_VERSION, RUNTIME_HOME)  # for the rig's launch
            desk.copy_file(rig.DOUBLES / "javaw.exe", RUNTIME_HOME + r"\bin\javaw.exe")
            for count in JAR_COUNTS[1:]:
                bench.folder(f"jars{count}", jars=count)
            for size in OPTION_SIZES[1:]:
                bench.folder(f"options{size // 1024}k", options=options_text(size))
            base = bench.folder("min")
            bench.folder("jarsmax", jars=JAR_COUNTS[-1])
            data["jars_max"] = largest_jar_count(bench, "jarsmax", JAR_COUNTS[-1])

            # The bare start gets the very command line the launcher builds here.
            bench.use_versions(1)
            java_cmdline = bench.launcher("min")["cmdline"]
            for folder in ("options1k", "options30k"):
                cmd = bench.launcher(folder)["cmdline"]
                if b"bench.o" not in cmd:
                    raise rig.RigError(f"{folder}: the options did not reach Java: {cmd[:200]!r}")

            samples: dict[str, list[dict]] = {}

            def keep(name: str, value: dict, warm: bool) -> None:
                if value["exit"] != 0:
                    raise rig.RigError(f"{name}: exit code {value['exit']}")
                if not warm:
                    samples.setdefault(name, []).append(value)

            log = base + r"\pelmorin.log"

            def remove_log_then_launch() -> dict:
                desk.remove(log)
                return bench.launcher("min", f"--pmr-debug {NO_SPLASH}")

            # Starts by registry state; within a round the states and the starts of each state
            # come in a shuffled order (fixed seed), so that no start always follows another.
            shuffle = random.Random(15)
            for round_number in range(args.warmup + args.runs):
                warm = round_number < args.warmup
                growth = round_number < args.warmup + args.growth_runs
                one_key = [("launcher", lambda: bench.launcher("min")),
                           ("bare", lambda: bench.bare("min", java_cmdline)),
                           ("bare_imports",
                            lambda: bench.bare("min", java_cmdline, "bare_imports"))]
                groups = {1: one_key}
                if growth:
                    for count in JAR_COUNTS[1:]:
                        one_key.append((f"jars{count}",
                                        lambda c=count: bench.launcher(f"jars{c}")))
                    one_key.append(("jarsmax", lambda: bench.launcher("jarsmax")))
                    for size in OPTION_SIZES[1:]:
                        name = f"options{size // 1024}k"
                        one_key.append((name, lambda n=name: bench.launcher(n)))
                    one_key.append(("log", remove_log_then_launch))
                    for count in VERSION_COUNTS[1:]:
                        groups[count] = [(f"versions{count}", lambda: bench.launcher("min"))]
                order = list(groups)
                shuffle.shuffle(order)
                for count in order:
                    bench.use_versions(count)
                    starts = groups[count]
                    shuffle.shuffle(starts)
                    for name, start in starts:
                        keep(name, start(), warm)
                print(f"round {round_number + 1}/{args.warmup + args.runs} "
                      f"({time.monotonic() - began:.0f} s)", flush=True)

            bench.use_versions(1)
            for round_number in range(args.warmup + args.splash_runs):
                value = bench.launcher("min", "", java_action="window:Bench;sleep:1500;exit:0",
                                       watch=SPLASH_CLASS)
                if "window" not in value:
                    raise rig.RigError("the splash was not seen")
                if round_number >= args.warmup:
                    samples.setdefault("splash", []).append(value)
            desk.reset()

    data["load_after"] = uptime()
    data["minutes"] = (time.monotonic() - began) / 60
    data["java"] = {name: summary([v["java"] for v in values]) for name, values in samples.items()}
    data["whole"] = {name: summary([v["run"] for v in values])
                     for name, values in samples.items() if name in CORE}
    # Per round against the minimal launcher start of the same round: less noisy than the
    # difference of two medians when the load changes during the run.
    data["paired"] = {name: statistics.median(1000 * (v["java"] - m["java"])
                                              for v, m in zip(values, samples["launcher"]))
                      for name, values in samples.items() if name != "splash"}
    data["splash"] = summary([v["window"] for v in samples["splash"]])
    data["raw"] = {name: [v["java"] for v in values] for name, values in samples.items()}
    data["size"] = (ROOT / "build" / "x86" / "Vendro.exe").stat().st_size
    data["sections"] = sections(ROOT / "build" / "x86" / "Vendro.exe")
    return data


# ---------------------------------------------------------------------------------------------
# The document


CORE = ("launcher", "bare", "bare_imports")

GROWTH_ROWS = [
    ("launcher", "minimal installation: 1 version key, 0 jars, no options file, log off"),
    ("versions100", "100 version keys (99 unusable, the usable one last)"),
    ("versions1000", "1000 version keys (999 unusable, the usable one last)"),
    ("jars100", "100 jars in lib"),
    ("jars1000", "1000 jars in lib"),
    ("jarsmax", "{jars_max} jars in lib (the most whose class path fits)"),
    ("options1k", "options file of 1 KB with references"),
    ("options30k", "options file of 30 KB with references"),
    ("log", "debug log on (--pmr-debug)"),
]

GOALS = [  # configuration, limit over the minimal installation in ms, what
    ("versions1000", 50.0, "1000 version keys add at most 50 ms"),
    ("jars1000", 50.0, "1000 jars add at most 50 ms"),
    ("log", 10.0, "logging on adds at most 10 ms"),
]

SIZE_GOAL = 64 * 1024

# How build/x86/Vendro.exe came down to its size: bytes of the file and of the sections that
# changed, measured with i686-w64-mingw32-objdump -h when each step was made (not by this run).
SIZE_STEPS = [
    ("before", 80384, 42180, 4464, 6352, 1740),
    ("the log's fprintf goes to msvcrt.dll's vfprintf instead of MinGW's C99 printf, which "
     "libstdc++ switches on for every C++ file (its floating-point formatting and gdtoa are "
     "about 20 KB; the log uses only %s, %d, %lu and %.*s, formatted alike by both)",
     51712, 19060, 3244, 2868, 1268),
    ("no unwind tables in the platform-free core either (the product uses no exceptions)",
     50688, 19124, 3244, 1992, 1272),
    ("-ffunction-sections and --gc-sections: the link drops what nothing calls",
     49664, 19124, 2188, 1992, 1268),
]


def fmt(value: float) -> str:
    return f"{value:.1f}"


def document(data: dict, command: str) -> str:
    java, whole = data["java"], data["whole"]
    base = java["launcher"]["median"]
    ratio = base / java["bare"]["median"]
    m = data["machine"]
    build = ("the shipped 32-bit `build/x86/Vendro.exe`, run under WOW64 in the 64-bit Windows "
             "prefix" if data["build"] == "x86" else
             "the 64-bit test build `build/x64/Vendro.exe` in the 64-bit Windows prefix (this "
             "kernel runs no 32-bit code, so 32-bit Wine cannot start)")
    out = [
        "# Performance",
        "",
        "What the launcher's own work costs next to the process starts it cannot avoid, how it "
        "grows with the installation, when the splash appears, and how big the executable is. "
        "Made by the benchmark command; every number below comes from one run of it.",
        "",
        "## The run",
        "",
        "| | |",
        "|---|---|",
        f"| Command | `{command}` |",
        f"| Date | {data['date']} |",
        f"| Machine | {m['cpu']}, {m['cores']} cores; {m['os']}, kernel {m['kernel']} |",
        f"| Wine | {m['wine']}, Xvfb |",
        f"| Timed build | {build} |",
        f"| Starts | {data['warmup']} warm-up rounds, then N = {data['runs']} rounds, each "
        f"starting the launcher, the two bare starts and (in the first {data['growth_runs']}) "
        f"every growth configuration once; then {data['warmup']} + {data['splash_runs']} "
        "starts with the splash |",
        f"| Load before | `{data['load_before']}` |",
        f"| Load after | `{data['load_after']}` |",
        f"| Duration | {data['minutes']:.1f} minutes |",
        "",
        "The machine's 2 cores are shared with other jobs running at the same time (see the load "
        "averages above), so absolute times are noisy and differ from run to run. What counts "
        "are the ratios and differences between configurations: their starts are interleaved, "
        "one of each in every round, so the load falls on all of them alike.",
        "",
        "How the times are taken, inside Windows with `QueryPerformanceCounter`: the runner "
        "reads it just before `CreateProcessA` of the launcher (or of the bare start), and "
        "again when its wait for the program's end returns; the stand-in `javaw.exe` reads it "
        "first thing. *Time to Java* is the stand-in's reading minus the runner's first one; "
        "*whole run* is the runner's second reading minus its first. Both include the updater "
        "check (the stand-in `wyUpdate.exe` answers \"no update\" at once). Wine's own start of "
        "the outer command is not in them. The launcher runs with `--pmr-no-splash` except in "
        "the splash measurement.",
        "",
        "The bare start (`bare.exe`) does the same process work as the launcher and nothing "
        "else: it runs the updater's check command line and waits for it, then starts the Java "
        "stand-in with the very command line the launcher built for the same installation "
        "(inheritance on, creation flags 0x80) and exits 0. No registry, no files, no log, no "
        "splash.",
        "",
        "## Launcher against the bare start",
        "",
        "Minimal installation: one usable runtime key, an empty `lib`, no options file, log off. "
        "Milliseconds.",
        "",
        "| | N | median | p10 | p90 |",
        "|---|---|---|---|---|",
    ]
    labels = {"launcher": "Vendro.exe", "bare": "bare.exe", "bare_imports": "bare_imports.exe"}
    for kind, table in (("time to Java", java), ("whole run", whole)):
        for name in CORE:
            s = table[name]
            out.append(f"| {labels[name]}, {kind} | {s['n']} | {fmt(s['median'])} | "
                       f"{fmt(s['p10'])} | {fmt(s['p90'])} |")
    imports = java["bare_imports"]["median"]
    out += [
        "",
        f"Ratio of the medians of the time to Java, launcher / bare: **{ratio:.3f}** "
        f"(goal: at most 1.05; {'met' if ratio <= 1.05 else 'missed by ' + f'{ratio - 1.05:.3f}'})."
        f" Difference of the medians: {fmt(base - java['bare']['median'])} ms; median of the "
        f"per-round differences: {-data['paired']['bare']:.1f} ms.",
        "",
        "`bare_imports.exe` is the bare start importing, in addition, the DLLs the launcher "
        "loads on every start (advapi32, which it imports, and user32, which it loads from the "
        "system folder first thing; and what those load: gdi32, imm32, ...) "
        "without calling them. Of the launcher's extra time to Java, loading those DLLs takes "
        f"{fmt(imports - java['bare']['median'])} ms of median (bare_imports − bare); the "
        f"launcher's own work (registry, files, command line) the remaining "
        f"{fmt(base - imports)} ms (launcher − bare_imports).",
        "",
        "The whole run of the launcher is shorter than its time to Java: the launcher is done "
        "soon after `CreateProcessA` returns, while Wine's start of the Java process (its "
        "loader and DLLs) is still under way; what the launcher does after that call costs "
        "the Java program nothing.",
        "",
        "The launcher does not import `shell32.dll`: it loads it, and `ole32.dll`, by full path "
        "from the system folder only when a failure's web page or an accepted update is "
        "opened, so that no copy planted beside it is ever loaded. For speed this makes no "
        "difference that stands out of the noise (an earlier interleaved comparison of 90 "
        "rounds, load average about 4.2, gave +4.4 ms time to Java and +8.5 ms whole run as "
        "medians of per-round differences). Its own steps (a few registry calls, one file "
        "test, one directory listing, one process start) are the ones its search order and "
        "command line require.",
        "",
        "## Growth with the installation",
        "",
        "Median time to Java, and its increase over the minimal installation. Milliseconds.",
        "",
        "| Installation | N | median | p10 | p90 | increase | increase, per round |",
        "|---|---|---|---|---|---|---|",
    ]
    for name, label in GROWTH_ROWS:
        s = java[name]
        label = label.format(jars_max=data["jars_max"])
        increase = "" if name == "launcher" else f"{s['median'] - base:+.1f}"
        paired = "" if name == "launcher" else f"{data['paired'][name]:+.1f}"
        out.append(f"| {label} | {s['n']} | {fmt(s['median'])} | {fmt(s['p10'])} | "
                   f"{fmt(s['p90'])} | {increase} | {paired} |")
    out += [
        "",
        "The version keys sit in the 32-bit registry view, which the launcher scans first; the "
        "unusable ones are named 1.8.0_0000 and up and point at a folder without "
        "`bin\\javaw.exe`, so each one is opened, read and looked for on disk. Jars are empty "
        "archives named j0000.jar and up. The options files hold one `-D` option a line with "
        "a `%EXEDIR%` reference and a comment. *Increase* is the difference of the medians; "
        "*increase, per round* the median of the differences to the minimal installation's "
        "start of the same round.",
        "",
        "## The splash",
        "",
        "Time from the runner's start of the launcher (updater check included) to the splash "
        "window being visible, seen from outside: the runner polls every 5 ms for a visible "
        "top-level window of class `Static` of the launcher's process, so the launcher itself "
        "runs unchanged. Milliseconds.",
        "",
        "| | N | median | p10 | p90 |",
        "|---|---|---|---|---|",
        f"| Splash visible | {data['splash']['n']} | {fmt(data['splash']['median'])} | "
        f"{fmt(data['splash']['p10'])} | {fmt(data['splash']['p90'])} |",
        "",
        "## Size of build/x86/Vendro.exe",
        "",
        f"{data['size']:,} bytes (goal: at most {SIZE_GOAL:,}; "
        f"{'met' if data['size'] <= SIZE_GOAL else 'missed'}). The product check "
        "(`tests/check_product.py`) fails the tests when the file grows past 64 KB.",
        "",
        "| Section | bytes |",
        "|---|---|",
    ]
    out += [f"| `{name}` | {size:,} |" for name, size in data["sections"]]
    out += [
        "",
        "How it came down (bytes; `.eh_fram` is objdump's name for `.eh_frame`):",
        "",
        "| Step | file | `.text` | `.rdata` | `.eh_frame` | `.reloc` |",
        "|---|---|---|---|---|---|",
    ]
    out += [f"| {step} | {size:,} | {text:,} | {rdata:,} | {eh:,} | {reloc:,} |"
            for step, size, text, rdata, eh, reloc in SIZE_STEPS]
    out += [
        "",
        "Not done: `-fdata-sections` (MinGW's GCC then puts zero-filled objects into `.data$` "
        "sections, so the 36 KB launch state would move from `.bss` into the file); removing "
        "the remaining `.eh_frame` (about 2 KB, the start-up code's own tables) would need a "
        "step after the link for little gain. The icon keeps its two sizes.",
        "",
        "`.bss` takes no room in the file (it is the zero-filled launch state, mostly the "
        "32 KB Java argument text). `.rsrc` holds the splash picture (10 KB), the icon in "
        "32 × 32 and 16 × 16 (5.4 KB, the two sizes Explorer and the title bar and task bar "
        "use), the version information and the manifest.",
        "",
        "## Goals",
        "",
        "| Goal | Measured | |",
        "|---|---|---|",
        f"| Launcher / bare, median time to Java, at most 1.05 | {ratio:.3f} | "
        f"{'met' if ratio <= 1.05 else 'missed'} |",
    ]
    for name, limit, label in GOALS:
        added = java[name]["median"] - base
        paired = data["paired"][name]
        verdict = "met" if max(added, paired) <= limit else (
            "missed" if min(added, paired) > limit else "met by one measure only")
        out.append(f"| {label} | {added:+.1f} ms (per round {paired:+.1f} ms) | {verdict} |")
    out += [
        f"| `build/x86/Vendro.exe` at most 64 KB | {data['size']:,} bytes | "
        f"{'met' if data['size'] <= SIZE_GOAL else 'missed'} |",
        "",
    ]
    out += missed_goals(data)
    out += ["![Time to Java](performance.svg)", ""]
    return "\n".join(out)


def missed_goals(data: dict) -> list[str]:
    """Why a goal is missed, in the run's own numbers."""
    java = data["java"]
    bare, imports, base = (java[n]["median"] for n in ("bare", "bare_imports", "launcher"))
    notes = []
    if base / bare > 1.05:
        notes.append(
            f"Launcher / bare is missed by {base / bare - 1.05:.3f}. Of the "
            f"{fmt(base - bare)} ms the launcher needs more than the bare start, "
            f"{fmt(imports - bare)} ms is Wine loading and initialising the system DLLs it "
            "loads on every start (user32 with gdi32 and imm32, advapi32), which the "
            "bare start, importing only kernel32 and msvcrt, does not load; its own work is "
            f"the remaining {fmt(base - imports)} ms. Those DLLs are part of the job: every "
            "normal start shows the splash and any failure a message box (user32), and the "
            "runtime search reads the registry (advapi32). Only a start with "
            "`--pmr-no-splash`, as timed here, could go without user32 when nothing fails; "
            "loading it late for that case alone would not shorten a cashier's start.")
    versions = data["paired"]["versions1000"]
    if max(versions, java["versions1000"]["median"] - base) > 50:
        notes.append(
            f"1000 version keys add about {versions:.0f} ms, {versions - 50:.0f} ms over the "
            f"goal: about {versions / 999 * 1000:.0f} µs for each unusable key, which the "
            "launcher enumerates, opens, reads `JavaHome` from, looks for `bin\\javaw.exe` "
            "below and closes. Its search order tries every key that ranks above the best so "
            "far, and these keys all do; under Wine every registry call is a request to the "
            "wine server. Nothing in that loop is done twice; 100 keys add "
            f"{data['paired']['versions100']:.0f} ms.")
    if data["paired"]["log"] > 10 and java["log"]["median"] - base > 10:
        notes.append("The debug log adds more than 10 ms in this run.")
    if not notes:
        return []
    return ["Why goals are missed:", ""] + [f"- {note}" for note in notes] + [""]


def plot(data: dict, target: Path) -> None:
    import matplotlib

    matplotlib.use("svg")
    import matplotlib.pyplot as plt
    import matplotlib.ticker

    matplotlib.rcParams["svg.hashsalt"] = "vendro"
    matplotlib.rcParams["svg.fonttype"] = "none"
    raw = {name: [v * 1000 for v in values] for name, values in data["raw"].items()}
    fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4.5),
                                      gridspec_kw={"width_ratios": [1, 3]})
    left.boxplot([raw[name] for name in CORE], labels=["Vendro.exe", "bare", "bare_imports"],
                 whis=(10, 90), showfliers=False)
    left.set_ylabel("time to Java (ms)")
    left.set_title(f"Minimal installation, N = {len(raw['launcher'])}")
    names = [name for name, _ in GROWTH_ROWS]
    labels = ["minimal", "100 keys", "1000 keys", "100 jars", "1000 jars",
              f"{data['jars_max']} jars", "options 1 KB", "options 30 KB", "log on"]
    right.boxplot([raw[n] for n in names], labels=labels, whis=(10, 90), showfliers=False)
    right.set_title("Growth with the installation (box: quartiles, whiskers: p10 to p90)")
    right.tick_params(axis="x", labelrotation=30)
    right.set_ylabel("time to Java (ms)")
    # Logarithmic, so that the boxes stay readable next to the long tails the machine's load
    # gives the p90 whiskers.
    for axes in (left, right):
        axes.set_yscale("log")
        axes.yaxis.set_major_formatter(matplotlib.ticker.ScalarFormatter())
        axes.yaxis.set_minor_formatter(matplotlib.ticker.ScalarFormatter())
        axes.grid(axis="y", which="both", alpha=0.3)
    fig.suptitle(f"Vendro.exe start under {data['machine']['wine']}, {data['date']}")
    fig.tight_layout()
    fig.savefig(target, format="svg", metadata={"Date": None})
    plt.close(fig)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=60, help="rounds of launcher and bare start")
    parser.add_argument("--growth-runs", type=int, default=60,
                        help="of those, rounds that also start every growth configuration")
    parser.add_argument("--splash-runs", type=int, default=30, help="starts with the splash")
    parser.add_argument("--warmup", type=int, default=3, help="rounds before the measured ones")
    parser.add_argument("--out", type=Path, default=DOCS, help="folder of the two documents")
    parser.add_argument("--from-results", type=Path, metavar="JSON",
                        help=f"write the documents from the results of an earlier run "
                             f"(each run keeps its own in {RESULTS.relative_to(ROOT)})")
    args = parser.parse_args()
    args.growth_runs = min(args.growth_runs, args.runs)
    if args.from_results:
        data = json.loads(args.from_results.read_text())
    else:
        data = run(args)
        data["command"] = "scripts/bench.sh" + "".join(f" {a}" for a in sys.argv[1:])
        RESULTS.parent.mkdir(parents=True, exist_ok=True)
        RESULTS.write_text(json.dumps(data, indent=1))
    args.out.mkdir(parents=True, exist_ok=True)
    command = data["command"]
    (args.out / "performance.md").write_text(document(data, command))
    plot(data, args.out / "performance.svg")
    print(f"wrote {args.out / 'performance.md'} and {args.out / 'performance.svg'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
