"""Reading Wine's +relay trace: it is huge, so it is filtered while it streams, and the
arguments of the calls a test cares about are read from the kept lines."""

from __future__ import annotations

import collections
import os
import re
import threading
import time
from typing import Sequence

from records import wait_for



def relay_calls(lines: Sequence[str], function: str) -> list[list[str]]:
    """The arguments of each traced call of `function` (e.g. "user32.ShowWindow"), as the relay
    channel prints them: a hex number, followed by the quoted text of a string argument."""
    head = f"Call {function}("
    return [re.findall(r'[0-9a-f]+(?: "(?:[^"\\]|\\.)*")?',
                       line.split(head, 1)[1].rsplit(") ret=", 1)[0])
            for line in lines if head in line]


def relay_number(arg: str) -> int:
    """A traced 32-bit argument. The trace of a 64-bit program shows whole registers, whose
    upper half does not belong to a 32-bit argument."""
    return int(arg.split()[0], 16) & 0xFFFFFFFF


class RelayFilter(threading.Thread):
    """Reads Wine's +relay output as it streams and keeps only the lines matching a pattern.

    Relay output runs to many megabytes, and processes started by the launched program (the
    Java stand-in) may keep writing to the pipe after the launch ended; reading goes on until
    all writers are gone, so none of them blocks on a full pipe.
    """

    def __init__(self, fd: int, pattern: str):
        super().__init__(daemon=True)
        self.fd = fd
        self.pattern = re.compile(pattern)
        self.lines: list[str] = []
        self.tail: collections.deque[str] = collections.deque(maxlen=30)  # for a rig error
        self.last_data = time.monotonic()
        self.lock = threading.Lock()

    def run(self) -> None:
        pending = b""
        try:
            while True:
                chunk = os.read(self.fd, 1 << 16)
                if not chunk:
                    break
                self.last_data = time.monotonic()
                pending += chunk
                *complete, pending = pending.split(b"\n")
                self._keep(complete)
            self._keep([pending] if pending else [])
        finally:
            os.close(self.fd)

    def _keep(self, lines: list[bytes]) -> None:
        decoded = [raw.decode("latin-1") for raw in lines]
        matched = [t for t in decoded if self.pattern.search(t)]
        with self.lock:
            self.lines.extend(matched)
            self.tail.extend(decoded[-30:])

    def snapshot(self, quiet: float = 0.3, limit: float = 5.0) -> list[str]:
        """Lines so far, once the stream has been quiet for `quiet` seconds."""
        wait_for(lambda: not self.is_alive() or time.monotonic() - self.last_data >= quiet,
                 limit)
        with self.lock:
            return list(self.lines)
