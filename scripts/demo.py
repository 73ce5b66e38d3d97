"""The main job, shown: Vendro.exe starts the box-office application under Wine.

A 64-bit Windows desk gets a Java runtime 1.8.0_45 whose stand-in javaw.exe opens the window
"Vendro - Taquilla" after about 4 s, and two application jars. The launcher starts with its
debug log on; the script prints the log, the launcher's full exit code and the paths of two
screenshots of the whole screen: one while the splash is up, one once the application's window
is up. Then it shows a failure: with no Java runtime registered, the launcher's message box is
photographed while it is on screen, and its caption, its text and the web address opened after
it are printed. Everything it starts (its own X server, the Windows processes of the desk) is
ended before it returns.

    /usr/bin/python3 scripts/demo.py
"""

from __future__ import annotations

import subprocess
import sys
import time
from pathlib import Path
from typing import Optional

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import rig  # noqa: E402

RUNTIME = "1.8.0_45"
WINDOW_TITLE = "Vendro - Taquilla"
JAVA_ACTION = f"sleep:4000;window:{WINDOW_TITLE}"
DEMO_JARS = ("ventalia-core.jar", "ventalia-ui.jar")
SHOTS = rig.BUILD / "demo"


def prepare(desk: rig.Desk) -> str:
    """The runtime and the application's jars; returns the runtime's home."""
    home = desk.add_runtime(RUNTIME)
    for jar in DEMO_JARS:
        desk.add_file(rf"{desk.app}\lib\{jar}", rig.EMPTY_JAR)
    return home


def window_is_up(display: str, title: str) -> bool:
    """Whether a window with this title is on the X screen (Wine names X windows after them)."""
    tree = subprocess.run(["xwininfo", "-display", display, "-root", "-tree"],
                          capture_output=True, timeout=30).stdout
    return f'"{title}"'.encode() in tree


def screenshot(display: str, path: Path, crop: Optional[rig.Window] = None) -> Path:
    """The whole screen, or only the given window's rectangle."""
    path.parent.mkdir(parents=True, exist_ok=True)
    area = []
    if crop is not None:
        left, top, right, bottom = crop.rect
        area = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
    subprocess.run(["import", "-display", display, "-window", "root", *area, str(path)],
                   check=True, timeout=60)
    return path


def visible_window(desk: rig.Desk, cls: bytes, timeout: float) -> Optional[rig.Window]:
    """The first visible top-level window of this class, waited for."""
    found: list[rig.Window] = []

    def look() -> bool:
        found[:] = [w for w in desk.windows() if w.cls == cls and w.visible]
        return bool(found)

    return found[0] if rig.wait_for(look, timeout, 0.1) else None


def describe_exit(code: int) -> str:
    if code == rig.STILL_ACTIVE:
        return "the launcher left while the Java program runs"
    return {0: "started", 1: "a failure was reported", 2: "another instance runs"}.get(
        code, "the Java program's own exit code")


def main() -> int:
    with rig.Xvfb() as display, rig.open_desk("win64", display) as desk:
        print(f"Build: {rig.PRODUCT} ({rig.BUILD_KIND}); desk {desk.name} at {desk.prefix}; "
              f"display {display}")
        started = show(desk, display)
        print("\n=== A failure: no Java runtime registered ===")
        failed = show_failure(desk, display)
        return started or failed


def show(desk: rig.Desk, display: str, shots: Path = SHOTS, crop: bool = False) -> int:
    """Starts the launcher, prints what it did and takes the screenshots."""
    home = prepare(desk)
    print(f"Runtime {RUNTIME} at {home}; jars: {', '.join(DEMO_JARS)}")

    pending = desk.launch_in_background(b"--pmr-debug", java_action=JAVA_ACTION)
    # The splash: the launcher's untitled picture window, before the application's window.
    splash = visible_window(desk, b"Static", 20)
    if splash is None:
        print("The splash did not appear", file=sys.stderr)
        return 1
    time.sleep(0.3)  # let it paint
    shot = screenshot(display, shots / "splash.png", splash if crop else None)
    print(f"Screenshot with the splash: {shot}")
    result = pending.result()
    print("\n--- pelmorin.log ---")
    print(result.log_text.replace("\r\n", "\n") if result.log is not None else "(no log)")
    print("--- end of log ---\n")
    print(f"Exit code: {result.exit_code} ({describe_exit(result.exit_code)}); "
          f"the launcher ran {result.elapsed:.1f} s")
    for box in result.boxes:
        print(f"Message box {rig.to_str(box['caption'])!r}: {rig.to_str(box['text'])!r}")

    if not rig.wait_for(lambda: window_is_up(display, WINDOW_TITLE), 20, 0.2):
        print(f"The window {WINDOW_TITLE!r} did not appear", file=sys.stderr)
        return 1
    time.sleep(0.5)  # let the window paint before the picture is taken
    shot = screenshot(display, shots / "shot.png")
    print(f"Screenshot with the application: {shot}")
    return 0 if result.exit_code == rig.STILL_ACTIVE else 1


def show_failure(desk: rig.Desk, display: str, shots: Path = SHOTS, crop: bool = False) -> int:
    """Starts the launcher on a desk without Java runtimes and photographs its failure box.

    The rig's launches answer every box at once, so this one is started through the runner
    without the box watcher; the watcher is started only once the picture is taken, and it
    records the box's caption and text as it answers OK.
    """
    desk.reset()  # no runtime registered, a fresh application folder
    desk.apply_registry()
    for name in (rig.RESULT, rig.BOX_REC, rig.BOX_STOP, rig.BOX_READY, rig.URLS_REC):
        desk.remove(name)
    desk.unix(rig.REQUEST).write_bytes(rig.hex_item("cmdline", f'"{rig.APP_EXE}" --pmr-debug')
                                       + rig.hex_item("unset", "Pelmorin"))
    quiet = dict(env=desk.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    runner = subprocess.Popen([rig.WINE, rig.RUNNER, rig.REQUEST, rig.RESULT], **quiet)
    box = visible_window(desk, b"#32770", 60)
    if box is None:
        runner.kill()
        print("No message box appeared", file=sys.stderr)
        return 1
    time.sleep(0.3)  # let it paint
    shot = screenshot(display, shots / "failure.png", box if crop else None)
    watcher = subprocess.Popen([rig.WINE, rig.BOXWATCH, rig.BOX_REC, "ok", rig.BOX_READY],
                               **quiet)
    try:
        runner.wait(60)
    finally:
        desk.unix(rig.BOX_STOP).write_bytes(b"")
        watcher.wait(30)
    outcome = dict(rig.parse_items(desk.read(rig.RESULT) or b""))
    for seen in [rig.parse_box_line(line) for line in (desk.read(rig.BOX_REC) or b"").splitlines()
                 if line.strip()]:
        print(f"Message box caption: {rig.to_str(seen['caption'])}")
        print("Message box text:\n  " + rig.to_str(seen["text"]).replace("\n", "\n  "))
    print(f"Screenshot of the box: {shot}")
    urls = rig.wait_for(lambda: desk.read(rig.URLS_REC), 10, 0.2) and [
        rig.to_str(url) for _, url in rig.parse_items(desk.read(rig.URLS_REC) or b"")]
    print(f"Web page opened after OK: {', '.join(urls or ['none'])}")
    log = desk.read(rf"{rig.APP}\pelmorin.log")
    print("\n--- pelmorin.log ---")
    print(log.decode("cp1252").replace("\r\n", "\n") if log is not None else "(no log)")
    print("--- end of log ---")
    code = int(outcome.get("exit", b"-1"))
    print(f"Exit code: {code} ({describe_exit(code)})")
    return 0 if code == 1 else 1


if __name__ == "__main__":
    sys.exit(main())
