"""The main job, shown: Vendro.exe starts the box-office application under Wine.

A 64-bit Windows desk gets a Java runtime 1.8.0_45 whose stand-in javaw.exe opens the window
"Vendro - Taquilla" after about 4 s, and two application jars. The launcher starts with its
debug log on; the script prints the log, the launcher's full exit code and the paths of two
screenshots of the whole screen: one while the splash is up, one once the application's window
is up. Everything it starts (its own X server, the Windows processes of the desk) is ended
before it returns.

    /usr/bin/python3 scripts/demo.py
"""

from __future__ import annotations

import subprocess
import sys
import time
from pathlib import Path

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


def screenshot(display: str, path: Path) -> Path:
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-display", display, "-window", "root", str(path)], check=True,
                   timeout=60)
    return path


def describe_exit(code: int) -> str:
    if code == rig.STILL_ACTIVE:
        return "the launcher left while the Java program runs"
    return {0: "started", 1: "a failure was reported", 2: "another instance runs"}.get(
        code, "the Java program's own exit code")


def main() -> int:
    with rig.Xvfb() as display, rig.open_desk("win64", display) as desk:
        print(f"Build: {rig.PRODUCT} ({rig.BUILD_KIND}); desk {desk.name} at {desk.prefix}; "
              f"display {display}")
        return show(desk, display)


def show(desk: rig.Desk, display: str) -> int:
    """Starts the launcher, prints what it did and takes the screenshots."""
    home = prepare(desk)
    print(f"Runtime {RUNTIME} at {home}; jars: {', '.join(DEMO_JARS)}")

    pending = desk.launch_in_background(b"--pmr-debug", java_action=JAVA_ACTION)
    # The splash: the launcher's untitled picture window, before the application's window.
    if not rig.wait_for(lambda: any(w.cls == b"Static" and w.visible for w in desk.windows()),
                        20, 0.1):
        print("The splash did not appear", file=sys.stderr)
        return 1
    time.sleep(0.3)  # let it paint
    print(f"Screenshot with the splash: {screenshot(display, SHOTS / 'splash.png')}")
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
    shot = screenshot(display, SHOTS / "shot.png")
    print(f"Screenshot with the application: {shot}")
    return 0 if result.exit_code == rig.STILL_ACTIVE else 1


if __name__ == "__main__":
    sys.exit(main())
