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
    config.addinivalue_line(
        "markers", "guest: runs in the emulated guest, where the shipped 32-bit build is tested "
        "on machines whose kernel runs no 32-bit code (every 32-bit Windows case is one)")


# Why a case does not run in the guest, by test file; any other file's unmarked cases behave the
# same in both builds on 64-bit Windows, and the host's run of the 64-bit test build covers them.
NOT_IN_GUEST = {
    "test_rig.py": "checks the rig, not the launcher",
    "test_hostile_installations.py": "another row of the same kind runs there",
}
SAME_IN_BOTH = "same in both builds on 64-bit Windows: the host's run covers it"


@pytest.hookimpl(tryfirst=True)  # before -m looks at the markers
def pytest_collection_modifyitems(config, items):
    """Every case in 32-bit Windows carries the guest marker (rig self-tests excepted).
    VENDRO_E2E_SUBSET=guest keeps the marked cases alone: what differs between the 32-bit build
    and the 64-bit test build, for the emulated guest, where a start takes about ten times as
    long as natively. Unset: every case."""
    for item in items:
        params = getattr(item, "callspec", None)
        desk = params.params.get("desk") if params else None
        if item.path.name == "test_rig.py":
            if item.get_closest_marker("guest"):
                raise pytest.UsageError(f"{item.nodeid}: rig self-tests do not run in the guest")
        elif desk == "win32":
            item.add_marker(pytest.mark.guest)
    subset = os.environ.get("VENDRO_E2E_SUBSET")
    if not subset:
        return
    if subset != "guest":
        raise pytest.UsageError(f"VENDRO_E2E_SUBSET must be guest, not {subset!r}")
    kept = [item for item in items if item.get_closest_marker("guest")]
    dropped = [item for item in items if not item.get_closest_marker("guest")]
    config._vendro_not_in_guest = dropped
    if dropped:
        config.hook.pytest_deselected(items=dropped)
        items[:] = kept


def pytest_terminal_summary(terminalreporter, config):
    """In the guest's run: which cases were left to the host, and why."""
    dropped = getattr(config, "_vendro_not_in_guest", None)
    if not dropped:
        return
    by_reason: dict[str, list[str]] = {}
    for item in dropped:
        reason = NOT_IN_GUEST.get(item.path.name, SAME_IN_BOTH)
        by_reason.setdefault(reason, []).append(item.nodeid.split("::", 1)[1])
    terminalreporter.section(f"not run in the guest: {len(dropped)} cases")
    for reason, names in by_reason.items():
        terminalreporter.write_line(f"{len(names)} cases, {reason}:")
        for name in names:
            terminalreporter.write_line(f"  {name}")


def pytest_sessionfinish(session):
    """Records which build ran in which prefixes, so that the guest's run is skipped only where
    this run already tested the shipped 32-bit build in both (scripts/guest/e2e.sh reads it)."""
    rig.record_host_run(_desks_set_up)


_desks_set_up: list[str] = []


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
    _desks_set_up.append(name)
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
