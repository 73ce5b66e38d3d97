"""How a failed start reaches the cashier: one box, then a web page, and the log's last lines."""

import pytest

from expect import (GENERAL_FAILURE, INVALID_JAVA, JAVA_URL, MAKER_URL, last_start,
                    logged_system_text, value)


@pytest.mark.parametrize("splash, text_file", [
    (b" --pmr-no-splash", False), (b"", False), (b" --pmr-no-splash", True),
], ids=["no splash", "splash", "text file"])
def test_java_launcher_that_cannot_start(desk, splash, text_file):
    # A folder named javaw.exe passes the launcher test but cannot be run, nor can a text file,
    # whose system text names it ("Bad EXE format for %1.").
    desk.add_version_key(r"SOFTWARE\JavaSoft\Java Runtime Environment", "1.8.0_45",
                         r"C:\rt\jre8")
    javaw = b"C:\\rt\\jre8\\bin\\javaw.exe"
    desk.add_file(javaw, b"not a program") if text_file else desk.add_dir(javaw)
    result = desk.launch(b"--pmr-debug" + splash)
    assert result.exit_code == 1
    lines = last_start(result.log)
    system_text = logged_system_text(lines)
    assert system_text and system_text in (
        {desk.error_text(193).replace(b"%1", javaw)} if text_file else desk.error_texts())
    assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
    assert result.boxes[0]["text"] == GENERAL_FAILURE + b"\n\n" + system_text
    assert result.wait_urls(1) == [MAKER_URL]
    # The report ends the log: its message, the system's reason, the web page; no exit code.
    assert lines[-4:] == [b"Error msg:\t" + GENERAL_FAILURE,
                          b"Error:\t\t" + system_text[:-2] + b"\r", b"",
                          b"Open URL:\t" + MAKER_URL]
    assert value(lines, b"Exit code:\t") is None


@pytest.mark.guest
@pytest.mark.parametrize("other_object", [False, True], ids=["", "an event named Vendro"])
def test_no_runtime_opens_the_java_download_page(desk, other_object):
    # No runtime has no system cause: the box shows no system text, also when an earlier call
    # failed (the mutex is not created where another kind of object holds its name).
    if other_object:
        desk.start_stand_in("event:Vendro")
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 1
    lines = last_start(result.log)
    assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
    assert logged_system_text(lines) is None
    assert result.boxes[0]["text"] == INVALID_JAVA
    assert value(lines, b"Error msg:\t") == INVALID_JAVA
    assert lines[-1] == b"Open URL:\t" + JAVA_URL
    assert result.wait_urls(1) == [JAVA_URL]


def test_failure_with_no_error_code_shows_the_text_alone(desk):
    # A missing launcher clears the error code, so the box holds exactly the composed text.
    desk.add_version_key(r"SOFTWARE\JavaSoft\Java Runtime Environment", "1.8.0_45",
                         r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.boxes[0]["text"] == INVALID_JAVA + b"\n" + GENERAL_FAILURE
    lines = last_start(result.log)
    assert logged_system_text(lines) is None
    assert lines[-2:] == [GENERAL_FAILURE, b"Open URL:\t" + JAVA_URL]
