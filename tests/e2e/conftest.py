"""Fixtures of the end-to-end tests: an Xvfb display, the two Wine prefixes and their desks.

    def test_x(desk): ...                                          # 64-bit Windows
    @pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
    def test_y(desk): ...                                          # both

A prefix is set up on the first test that needs it and kept for the session; every test gets
its desk reset (no Windows process left, fresh C:\\app, no runtimes, no registry additions).
"""

from __future__ import annotations

import os
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))

import rig  # noqa: E402

BOTH = ["win64", "win32"]


def pytest_configure(config):
    config.addinivalue_line("markers", "slow: takes many seconds (deselect with -m 'not slow')")


def pytest_collection_modifyitems(config, items):
    """VENDRO_E2E_SUBSET=first-case keeps every case in 32-bit Windows and, of every other
    test, its first case: every behaviour at least once in each prefix, for the emulated guest,
    where a start takes about ten times as long as natively. Unset: every case."""
    subset = os.environ.get("VENDRO_E2E_SUBSET")
    if not subset:
        return
    if subset != "first-case":
        raise pytest.UsageError(f"VENDRO_E2E_SUBSET must be first-case, not {subset!r}")
    seen, kept, dropped = set(), [], []
    for item in items:
        params = getattr(item, "callspec", None)
        desk = params.params.get("desk", "win64") if params else "win64"
        key = (item.nodeid.split("[", 1)[0], desk)
        (dropped if key in seen and desk != "win32" else kept).append(item)
        seen.add(key)
    if dropped:
        config.hook.pytest_deselected(items=dropped)
        items[:] = kept


@pytest.fixture(scope="session")
def xdisplay():
    """A private Xvfb screen, 1920x1080x24; yields its display name (":N")."""
    server = rig.Xvfb()
    display = server.start()
    try:
        yield display
    finally:
        server.stop()


def _session_desk(name, display):
    try:
        desk = rig.Desk(name, display)
    except rig.Unavailable as why:
        pytest.skip(str(why))
    try:
        desk.setup()
    except BaseException:
        desk.close()
        raise
    return desk


@pytest.fixture(scope="session")
def _win64_desk(xdisplay):
    desk = _session_desk("win64", xdisplay)
    yield desk
    desk.close()


@pytest.fixture(scope="session")
def _win32_desk(xdisplay):
    desk = _session_desk("win32", xdisplay)
    yield desk
    desk.close()


def _fresh(desk):
    # setup() leaves the desk reset; after each test it is reset again, also when it failed.
    try:
        yield desk
    finally:
        desk.reset()


@pytest.fixture
def win64(_win64_desk):
    yield from _fresh(_win64_desk)


@pytest.fixture
def win32(_win32_desk):
    yield from _fresh(_win32_desk)


@pytest.fixture
def desk(request):
    """The 64-bit desk, or the one named by indirect parametrization ("win64" / "win32")."""
    return request.getfixturevalue(getattr(request, "param", "win64"))
