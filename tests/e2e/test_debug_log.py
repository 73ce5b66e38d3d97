"""When the launcher writes pelmorin.log, what its header says, and that it only ever grows."""

from pathlib import Path

import pytest

import rig
from expect import last_start, log_lines, value

BOTH = ["win64", "win32"]


@pytest.mark.parametrize("args, variable, logged", [
    (b"--pmr-debug", None, True),
    (b"--pmr-debug-all", None, True),
    (b"x--pmr-debugging", None, True),
    (b"--PMR-DEBUG", None, False),
    (b"--pmr-debu", None, False),
    (b"", "debug", True),
    (b"", "mydebugging", True),
    (b"", "DEBUG", False),
    (b"", "", False),
    (b"", None, False),
])
def test_log_is_asked_for_by_switch_or_variable(desk, args, variable, logged):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    env = {} if variable is None else {"Pelmorin": variable}
    args = b" ".join(filter(None, [args, b"--pmr-no-splash"]))
    result = desk.launch(args, env=env)
    assert result.exit_code == 0
    assert result.java is not None
    if not logged:
        assert result.log is None
        return
    assert result.log.startswith(b"\r\n\r\nVersion:\t3.8\r\nCmdLine:\tC:\\app\\Vendro.exe "
                                 + args + b"\r\nWOW64:\t\t")
    assert log_lines(result.log)[-1] == b"Exit code:\t0"


def test_start_without_arguments_logs_an_empty_command_line(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(cmdline=b'"C:\\app\\Vendro.exe"', env={"Pelmorin": "debug"})
    assert result.exit_code == 0
    assert log_lines(result.log)[3] == b"CmdLine:\tC:\\app\\Vendro.exe "


@pytest.mark.guest
@pytest.mark.parametrize("desk", BOTH, indirect=True)
def test_wow64_line_tells_the_windows_bitness(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert value(log_lines(result.log), b"WOW64:\t\t") == (b"yes" if desk.is64 else b"no")


def test_log_is_appended_to_and_never_shortened(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    earlier = b"earlier start\r\n" * 1000
    desk.add_file(r"C:\app\pelmorin.log", earlier)
    first = desk.launch(b"--pmr-debug --pmr-no-splash")
    second = desk.launch(b"--pmr-debug --pmr-no-splash --second")
    assert first.log.startswith(earlier)
    assert second.log.startswith(first.log)
    assert last_start(second.log)[1].endswith(b"--second")
    assert second.log.count(b"\r\n\r\nVersion:\t3.8\r\n") == 2


def test_log_that_cannot_be_opened_fails_the_start_with_pelmorin_caption(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.add_dir(r"C:\app\pelmorin.log")  # a folder: the file cannot be opened, even as root
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 1
    assert result.java is None
    assert desk.unix(r"C:\app\pelmorin.log").is_dir()
    assert [box["caption"] for box in result.boxes] == [b"Pelmorin"]
    # No failure text yet: only the two line feeds and the system's reason.
    text = result.boxes[0]["text"]
    assert text.startswith(b"\n\n") and len(text) > 2
    assert text[2:] in desk.error_texts()
    # The web page is only opened once the failure defaults are written.
    assert result.urls == []


def test_logged_version_is_the_version_resource_of_the_file(desk):
    """One version: the "Version:" line of a real start is the version resource Windows shows in
    the file's properties (both generated from the CMake project's version)."""
    import sys  # tests/check_product.py reads the resource (the guest gets a copy too)
    sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
    from check_product import version_resource

    resource = version_resource(rig.PRODUCT)
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    logged = value(log_lines(result.log), b"Version:\t").decode()
    assert resource["strings"]["FileVersion"] == resource["strings"]["ProductVersion"] == logged
    numbers = tuple(int(part) for part in logged.split(".")) + (0, 0, 0)
    assert resource["file"] == resource["product"] == numbers[:4]
