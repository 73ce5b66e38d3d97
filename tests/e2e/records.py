"""The files the test doubles read and write (one `key=HEX` item a line, see
tests/doubles/README.md), Windows command-line splitting, and waiting for files that other
processes are still writing."""

from __future__ import annotations

import time
from pathlib import Path
from typing import Callable, Optional, Union

Text = Union[str, bytes]



def to_bytes(text: Text) -> bytes:
    """Windows text as the launcher sees it: code page 1252 bytes."""
    return text if isinstance(text, bytes) else text.encode("cp1252")


def to_str(text: Text) -> str:
    return text if isinstance(text, str) else text.decode("cp1252", errors="surrogateescape")


def win_join(*parts: str) -> str:
    """Joins Windows path parts with exactly one backslash between them."""
    out = parts[0]
    for part in parts[1:]:
        out = out.rstrip("\\") + "\\" + part.lstrip("\\")
    return out


def hex_item(key: str, value: Text) -> bytes:
    return key.encode() + b"=" + to_bytes(value).hex().encode() + b"\n"


def parse_items(data: bytes) -> list[tuple[str, bytes]]:
    """Parses `key=HEX` lines. A last line without its LF is still being written: it is left out."""
    items = []
    for line in data.split(b"\n")[:-1]:
        line = line.rstrip(b"\r")
        if not line:
            continue
        key, _, value = line.partition(b"=")
        items.append((key.decode(), bytes.fromhex(value.decode())))
    return items


def parse_box_line(line: bytes) -> dict:
    """One boxwatch line: blank-separated `key=HEX` pairs; numbers are hex of decimal text."""
    raw = {}
    for pair in line.split():
        key, _, value = pair.partition(b"=")
        raw[key.decode()] = bytes.fromhex(value.decode())
    return {
        "caption": raw["caption"],
        "text": raw["text"],
        "style": int(raw["style"]),
        "exstyle": int(raw["exstyle"]),
        "ok": raw["ok"] == b"1",
        "cancel": raw["cancel"] == b"1",
        "pid": int(raw["pid"]),
    }


def split_args(text: bytes) -> list[bytes]:
    """Splits a Windows command line the way the C runtime builds argv (quotes and backslashes)."""
    args: list[bytes] = []
    i, n = 0, len(text)
    while True:
        while i < n and text[i] in b" \t":
            i += 1
        if i >= n:
            return args
        arg = bytearray()
        quoted = False
        while i < n and (quoted or text[i] not in b" \t"):
            if text[i] == ord("\\"):
                j = i
                while j < n and text[j] == ord("\\"):
                    j += 1
                if j < n and text[j] == ord('"'):
                    arg += b"\\" * ((j - i) // 2)
                    if (j - i) % 2:
                        arg += b'"'
                        i = j + 1
                    else:
                        i = j
                    continue
                arg += text[i:j]
                i = j
            elif text[i] == ord('"'):
                if quoted and i + 1 < n and text[i + 1] == ord('"'):
                    arg += b'"'
                    i += 2
                    continue
                quoted = not quoted
                i += 1
            else:
                arg.append(text[i])
                i += 1
        args.append(bytes(arg))


def split_program(cmdline: bytes) -> tuple[bytes, bytes]:
    """(program, rest) of a command line whose program is quoted, as the launcher writes it.

    The rest is what follows the closing quote and ONE blank; a missing blank is not hidden:
    the rest then starts right after the quote.
    """
    if not cmdline.startswith(b'"'):
        program, _, rest = cmdline.partition(b" ")
        return program, rest
    end = cmdline.find(b'"', 1)
    if end < 0:
        return cmdline[1:], b""
    rest = cmdline[end + 1 :]
    return cmdline[1:end], rest[1:] if rest.startswith(b" ") else rest



# ---------------------------------------------------------------------------------------------
# Waiting for files that other processes write


def _read(path: Path) -> Optional[bytes]:
    """A file's bytes; None when there is no file of that name (nothing, or a folder)."""
    try:
        return path.read_bytes()
    except (FileNotFoundError, IsADirectoryError):
        return None


def settled(
    path: Path,
    timeout: float,
    stable: float = 0.3,
    complete: Optional[Callable[[bytes], bool]] = None,
) -> Optional[bytes]:
    """Content of a file once it stopped changing for `stable` seconds (or `complete` says so).

    Gives what is there when `timeout` runs out, None when the file never appeared. Writers
    here are separate Windows processes started asynchronously, so there is no event to wait on.
    """
    deadline = time.monotonic() + timeout
    last, since = None, 0.0
    while True:
        data = _read(path)
        now = time.monotonic()
        if data is not None:
            if complete is not None and complete(data):
                return data
            if data != last:
                last, since = data, now
            elif now - since >= stable:
                return data
        if now >= deadline:
            return data
        time.sleep(0.03)




def wait_for(predicate: Callable[[], bool], timeout: float, step: float = 0.02) -> bool:
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() >= deadline:
            return False
        time.sleep(step)
    return True
