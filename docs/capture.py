"""Takes again, from the real Vendro.exe under Wine, what the operator guide quotes.

Writes the debug log of each start below into build/docs/logs/NAME.log (bytes as the launcher
wrote them), prints its exit code, boxes and web addresses, and puts the two pictures of the
guide into docs/img/ (the splash, and the box of a start without Java), cropped to the window,
and a picture of the report of the desk diagnostic (diagnostico-vendro.exe), run under Wine
after a logged start, into docs/img/diagnostico.png: its first part, drawn as text.

    scripts/build.sh && /usr/bin/python3 docs/capture.py [NAME ...]

NAME is a scene below, or diagnostico for the diagnostic's picture alone.
"""

from __future__ import annotations

import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path[:0] = [str(ROOT / "tests" / "e2e"), str(ROOT / "scripts")]

import demo  # noqa: E402
import rig  # noqa: E402

OUT = rig.BUILD / "docs"
IMG = ROOT / "docs" / "img"
JRE = r"SOFTWARE\JavaSoft\Java Runtime Environment"
WINDOW = "window:Vendro - Taquilla"


def good(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    for jar in ("ventalia-core.jar", "ventalia-ui.jar"):
        desk.add_file(rf"{desk.app}\lib\{jar}", rig.EMPTY_JAR)
    desk.write_options(b"# Memoria de la aplicacion\r\n-Xmx512m\r\n"
                       b"-Dventalia.datos=%EXEDIR%\\datos   # carpeta de datos\r\n")
    return dict(args=b"--pmr-debug", java_action="sleep:1500;" + WINDOW)


def versions(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.add_runtime("1.8.0_101", home=r"C:\Java\jre1.8.0_101")
    return dict(args=b"--pmr-debug --pmr-no-splash")


def kit_64bit(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.add_runtime("1.8.0_60", home=r"C:\Java64\jdk1.8.0_60", kind="jdk", view=64)
    return dict(args=b"--pmr-debug --pmr-no-splash")


def only_64bit(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java64\jre1.8.0_45", view=64)
    return dict(args=b"--pmr-debug --pmr-no-splash")


def no_java(desk):
    desk.add_version_key(JRE, "1.6.0_45", r"C:\Java\jre6")
    return dict(args=b"--pmr-debug")


def unusable_java(desk):
    desk.add_version_key(JRE, "1.8.0_45", r"C:\Java\jre1.8.0_45")  # no bin\javaw.exe there
    return dict(args=b"--pmr-debug")


def java_will_not_run(desk):
    desk.add_version_key(JRE, "1.8.0_45", r"C:\Java\jre1.8.0_45")
    desk.add_dir(r"C:\Java\jre1.8.0_45\bin\javaw.exe")  # a folder: found, but cannot be run
    return dict(args=b"--pmr-debug")


def java_ends_with_error(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    return dict(args=b"--pmr-debug", java_action="sleep:1500;exit:3")


def log_not_writable(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.add_dir(rf"{desk.app}\pelmorin.log")  # a folder of that name: the log cannot open
    return dict(args=b"--pmr-debug")


def path_too_long(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    return dict(args=b"--pmr-debug", env={"Path": "C:\\" + "x" * 32740})


def options_in_utf16(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.write_options("-Xmx512m\r\n".encode("utf-16"))
    return dict(args=b"--pmr-debug --pmr-no-splash")


def lone_percent(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.write_options(b"-Dventalia.datos=%EXEDIR%\\datos -Dventalia.aviso=90% -Xmx512m\r\n")
    return dict(args=b"--pmr-debug --pmr-no-splash")


def second_copy(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    first = desk.launch(java_action=WINDOW)
    print(f"  first start: exit code {first.exit_code}")
    return dict(args=b"--pmr-debug")


def no_updater(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    desk.remove(rf"{desk.app}\wyUpdate.exe")
    return dict(args=b"--pmr-debug --pmr-no-splash")


def update_accepted(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\Java\jre1.8.0_45")
    return dict(args=b"--pmr-debug", update_exit="2")


SCENES = {f.__name__: f for f in (good, versions, kit_64bit, only_64bit, no_java, unusable_java,
                                  java_will_not_run, java_ends_with_error, log_not_writable,
                                  path_too_long, options_in_utf16, lone_percent,
                                  second_copy, no_updater,
                                  update_accepted)}


def run(desk, name: str) -> None:
    desk.reset()
    options = SCENES[name](desk)
    result = desk.launch(options.pop("args"), **options)
    (OUT / "logs").mkdir(parents=True, exist_ok=True)
    log = OUT / "logs" / f"{name}-{desk.name}.log"
    log.write_bytes(result.log or b"")
    print(f"== {name} ({desk.name}): exit code {result.exit_code}; log {log}")
    for box in result.boxes:
        print(f"  box {rig.to_str(box['caption'])!r}: {rig.to_str(box['text'])!r}")
    for url in result.wait_urls(1, 5) if result.exit_code == 1 else result.urls:
        print(f"  opened {rig.to_str(url)}")
    print((result.log_text or "(no log)").replace("\r\n", "\n"))


def pictures(desk, display) -> None:
    """The splash and the failure box, cropped; PNG with a palette keeps them small."""
    demo.show(desk, display, OUT, crop=True)
    demo.show_failure(desk, display, OUT, crop=True)
    IMG.mkdir(parents=True, exist_ok=True)
    for source, target in (("splash.png", "splash.png"), ("failure.png", "caja-sin-java.png")):
        subprocess.run(["convert", str(OUT / source), "-strip", "-colors", "64",
                        f"PNG8:{IMG / target}"], check=True, timeout=60)
        print(f"{IMG / target}: {(IMG / target).stat().st_size} bytes")


DIAGNOSTIC_LINES = 40  # from the start to the end of "Qué ejecutaría Vendro"
DIAGNOSTIC_COLUMNS = 100  # longer lines are drawn folded, each fold marked with FOLD
FOLD = "\u21b5"


def diagnostic(desk) -> None:
    """Runs the diagnostic on the desk of the good start, after that start, and draws the
    beginning of its report as text on a white page."""
    desk.reset()
    options = good(desk)
    desk.add_runtime("1.8.0_60", home=r"C:\Java64\jdk1.8.0_60", kind="jdk", view=64)
    desk.launch(options.pop("args"), **options)
    desk.diagnose(desk.app)
    report = desk.read(rig.TEST_DIR + r"\tmp\diagnostico-vendro.txt").decode("cp1252")
    OUT.mkdir(parents=True, exist_ok=True)
    (OUT / "diagnostico-vendro.txt").write_text(report, encoding="utf-8")
    head = "\n".join(report.replace("\r\n", "\n").split("\n")[:DIAGNOSTIC_LINES]).rstrip()
    # One label per line, stacked (this ImageMagick refuses long labels); label: reads
    # backslash and percent escapes, so the report's own ones are doubled; it trims blanks,
    # so those that lead a line (and empty lines) become no-break spaces.
    def keep(line: str) -> str:
        body = line.lstrip(" ")
        return "\u00a0" * (len(line) - len(body) or not body) + body.replace(
            "\\", "\\\\").replace("%", "%%")
    # The Java command line is one line of some 270 characters: folded, the picture keeps a
    # width the guide's page can show without shrinking the text.
    folded = []
    for line in head.split("\n"):
        while len(line) > DIAGNOSTIC_COLUMNS:
            folded.append(line[:DIAGNOSTIC_COLUMNS] + FOLD)
            line = line[DIAGNOSTIC_COLUMNS:]
        folded.append(line)
    lines = [keep(line) for line in folded + ["(...)"]]
    target = IMG / "diagnostico.png"
    subprocess.run(["/usr/bin/convert", "-background", "white", "-fill", "black",
                    "-font", "DejaVu-Sans-Mono", "-pointsize", "13", "-gravity", "west",
                    *(f"label:{line}" for line in lines), "-append", "-bordercolor", "white",
                    "-border", "12", "-strip", "-colors", "16", f"PNG8:{target}"],
                   check=True, timeout=60)
    print(f"{target}: {target.stat().st_size} bytes")


def main(names: list[str]) -> None:
    with rig.Xvfb() as display, rig.open_desk("win64", display) as desk:
        for name in names or SCENES:
            if name == "diagnostico":
                diagnostic(desk)
            else:
                run(desk, name)
        if not names:
            pictures(desk, display)
            diagnostic(desk)
    if not names and "win32" in rig.DESKS:
        with rig.Xvfb() as display, rig.open_desk("win32", display) as desk:
            run(desk, "good")


if __name__ == "__main__":
    main(sys.argv[1:])
