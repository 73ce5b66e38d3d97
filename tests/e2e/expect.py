"""What the launcher is expected to show: its texts as code page 1252 bytes, and helpers that
read its debug log (a text-mode file, so every line feed it wrote is stored as CR LF)."""

from __future__ import annotations

from typing import Optional

GENERAL_FAILURE = b"Error al iniciar la aplicaci\xf3n"
INVALID_JAVA = b"Versi\xf3n de Java no v\xe1lida 1.7.0"
MAKER_URL = b"https://www.tramontel.es/"
JAVA_URL = b"https://www.java.com/es/download/"
MAIN_CLASS = b"es.tramontel.ventalia.IniciarVentalia"
SWT32 = b"C:\\app\\swt\\org.eclipse.swt.win32.win32.x86-4.4.jar"
SWT64 = b"C:\\app\\swt\\org.eclipse.swt.win32.win32.x86_64-4.4.jar"

JDK_KEY = b"SOFTWARE\\JavaSoft\\Java Development Kit"
JRE_KEY = b"SOFTWARE\\JavaSoft\\Java Runtime Environment"
IBM_JDK_KEY = b"SOFTWARE\\IBM\\Java Development Kit"
IBM_JRE_KEY = b"SOFTWARE\\IBM\\Java2 Runtime Environment"

ERROR_FILENAME_EXCED_RANGE = 206


def log_lines(log: bytes) -> list[bytes]:
    """The log's lines without their CR LF ends. A value that itself ends in CR LF (a system
    error text) is stored as CR CR LF CR LF: its line keeps one CR and an empty line follows."""
    assert log.endswith(b"\r\n"), log[-80:]
    return log[:-2].split(b"\r\n")


def last_start(log: bytes) -> list[bytes]:
    """The lines of the last start in the log: each start begins with two empty lines."""
    lines = log_lines(log)
    starts = [i for i, line in enumerate(lines) if line.startswith(b"Version:\t")]
    assert starts, lines
    return lines[starts[-1]:]


def value(lines: list[bytes], label: bytes) -> Optional[bytes]:
    """The value of the first line with `label` (written with its tabs, e.g. b"Launcher:\\t")."""
    for line in lines:
        if line.startswith(label):
            return line[len(label):]
    return None


def section(lines: list[bytes], first: bytes, last: bytes) -> list[bytes]:
    """Lines from the first one starting with `first` to the first following one starting with
    `last`, both included."""
    start = next(i for i, line in enumerate(lines) if line.startswith(first))
    end = next(i for i in range(start, len(lines)) if lines[i].startswith(last))
    return lines[start:end + 1]


def logged_system_text(lines: list[bytes]) -> Optional[bytes]:
    """The system's error text of the failure report, as the system gave it (its CR LF end
    restored), or None when the report logged none."""
    start = next(i for i, line in enumerate(lines) if line.startswith(b"Error msg:\t"))
    for line in lines[start + 1:]:
        if line.startswith(b"Error:\t\t"):
            text = line[len(b"Error:\t\t"):]
            return text[:-1] + b"\r\n" if text.endswith(b"\r") else text
    return None


def search(bits: int, key: bytes) -> bytes:
    return b"%d-bit search:\t%s..." % (bits, key)


def check(key: bytes, version: bytes) -> bytes:
    return b"Check:\t\t" + key + b"\\" + version


def launcher(path: bytes, found: bool, cut: bool = False) -> bytes:
    """A launcher path that did not fit its buffer is logged as cut, and never looked for."""
    outcome = b" (too long, not looked for)" if cut else b" (OK)" if found else b" (not found)"
    return b"Check launcher:\t" + path + outcome
