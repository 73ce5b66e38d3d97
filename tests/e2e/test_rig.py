"""Checks of the rig itself, with the stand-ins and the rig's probe program (no launcher needed):
the probe shows a message box, opens a web address through the shell, starts a program without
waiting for it, or lists the system's error texts."""

from __future__ import annotations

import pytest

import rig

BOTH = pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)

PROBE = rig.PROBE


@pytest.fixture
def probe(desk):
    """The desk, with the probe program installed."""
    desk.probe()
    return desk


def quoted(winpath):
    return b'"' + rig.to_bytes(winpath) + b'"'


@BOTH
@pytest.mark.parametrize("code", [4294967295, 259, 0x80000000, 0])
def test_runner_reports_the_full_exit_code(desk, code):
    cmdline = quoted(rig.FAKE_JAVA) + b" x"
    result = desk.launch(cmdline=cmdline, java_action=f"exit:{code}")
    assert result.exit_code == code
    assert result.error is None
    assert result.java["cmdline"] == cmdline
    assert int(result.java["pid"]) == result.pid


@BOTH
def test_java_record_holds_command_line_directory_and_path(desk):
    # Double blanks, a tab, quotes and code page 1252 bytes must arrive unchanged.
    cmdline = quoted(rig.FAKE_JAVA) + b'  -Da="b c"\t\xf3\xe1 "C:\\x y\\" end'
    result = desk.launch(cmdline=cmdline, cwd=r"C:\app\lib",
                         env={"Path": "C:\\uno;C:\\dos\\b\xe1"})
    assert result.exit_code == 0
    assert result.java["cmdline"] == cmdline
    assert result.java["cwd"] == b"C:\\app\\lib"
    assert result.java["path"] == b"C:\\uno;C:\\dos\\b\xe1"
    assert result.java_program == rig.to_bytes(rig.FAKE_JAVA)
    assert result.java_args == b' -Da="b c"\t\xf3\xe1 "C:\\x y\\" end'
    assert result.java_argv == [b"-Da=b c", b"\xf3\xe1", b'C:\\x y" end']

    # Variable names are compared without regard to case, so "PATH" removes "Path".
    result = desk.launch(cmdline=quoted(rig.FAKE_JAVA), unset=["PATH"])
    assert result.exit_code == 0
    assert "path" not in result.java
    assert result.java["cwd"] == b"C:\\"  # the runner's own directory


@BOTH
def test_records_belong_to_their_launch_even_when_read_late(probe):
    first = probe.launch(cmdline=quoted(rig.FAKE_JAVA) + b" first", java_action="exit:7")
    url = b"https://example.com/one"
    opened = probe.launch(cmdline=quoted(PROBE) + b" url " + quoted(url))
    assert opened.wait_urls(1) == [url]
    check = quoted(rig.FAKE_UPDATE) + b" /quickcheck /justcheck"
    updated = probe.launch(cmdline=check, update_exit="2")
    again = probe.launch(cmdline=quoted(rig.FAKE_JAVA) + b" again", java_action="exit:0")

    assert first.exit_code == 7
    assert first.java["cmdline"] == quoted(rig.FAKE_JAVA) + b" first"
    assert first.urls == [] and first.updates == []
    assert opened.exit_code == 0 and opened.urls == [url]
    assert updated.exit_code == 2
    assert updated.java is None
    assert updated.updates == [check]
    assert again.java["cmdline"] == quoted(rig.FAKE_JAVA) + b" again"
    assert again.urls == []


@BOTH
def test_a_program_that_cannot_start_reports_its_error(desk):
    result = desk.launch(cmdline=b'"C:\\app\\missing.exe"')
    assert result.exit_code is None
    assert result.error == 2  # ERROR_FILE_NOT_FOUND


@BOTH
@pytest.mark.parametrize("style, answers, answer, cancel", [
    (0, "ok", 1, False),  # MB_OK
    (1, "ok", 1, True),  # MB_OKCANCEL
    (1, "cancel", 2, True),
    (0x40041, ["cancel", "ok"], 2, True),  # the update offer's style
])
def test_boxes_are_recorded_and_answered(probe, style, answers, answer, cancel):
    caption, text = b"Vendro ERROR", b"Versi\xf3n de Java no v\xe1lida 1.7.0\nsegunda l\xednea"
    cmdline = quoted(PROBE) + b" box %d %s %s" % (style, quoted(caption), quoted(text))
    result = probe.launch(cmdline=cmdline, answers=answers)
    assert result.exit_code == answer
    assert len(result.boxes) == 1
    box = result.boxes[0]
    assert box["caption"] == caption
    assert box["text"] == text
    assert box["ok"] is True and box["cancel"] is cancel
    assert box["pid"] == result.pid


@BOTH
def test_shell_opens_web_addresses_with_the_recorder(probe):
    # On 64-bit Windows a 32-bit program reads the 32-bit view of the classes.
    urls = [b"https://www.example.com/es/download/", b"http://example.com/a?b=1&c=%20"]
    for url in urls:
        result = probe.launch(cmdline=quoted(PROBE) + b" url " + quoted(url))
        assert result.exit_code == 0
        assert result.wait_urls(1) == [url]


@BOTH
def test_relay_keeps_the_started_programs_matching_calls(probe):
    url = b"https://example.com/relay"
    result = probe.launch(cmdline=quoted(PROBE) + b" url " + quoted(url),
                          relay=r"(shell32\.ShellExecuteA|KERNEL32\.CreateProcessA)\(")
    assert result.exit_code == 0
    calls = [line for line in result.relay if "Call shell32.ShellExecuteA(" in line]
    assert len(calls) == 1 and '"%s"' % url.decode() in calls[0], result.relay
    # The runner starts the probe with CreateProcessA; its own calls are not traced.
    assert not [line for line in result.relay if "CreateProcessA" in line], result.relay
    assert result.wait_urls(1) == [url]


@BOTH
def test_reset_ends_processes_and_restores_the_layout(probe):
    desk = probe
    home = desk.add_runtime("1.8.0_45")
    java = rig.win_join(home, r"bin\javaw.exe")
    # The path has no blanks, so it goes through the probe's argv unquoted.
    result = desk.launch(cmdline=quoted(PROBE) + b" start " + rig.to_bytes(java),
                         java_action="hidden:Vendro hidden")
    assert result.exit_code == 0
    # The stand-in still runs after the probe ended, and its record is waited for.
    assert result.java["cmdline"] == rig.to_bytes(java)
    assert any(p.args.startswith(java) for p in desk.windows_processes())

    desk.add_file(r"C:\extra\deep\x.txt", b"x")
    desk.add_file(r"C:\app\lib\a.jar", rig.EMPTY_JAR)
    desk.reset()
    assert desk.processes() == []
    assert not desk.unix(r"C:\extra").exists()
    assert not desk.unix(rig.RUNTIMES).exists()
    assert list(desk.unix(r"C:\app\lib").iterdir()) == []
    assert desk.read(r"C:\app\wyUpdate.exe") == (rig.DOUBLES / "wyUpdate.exe").read_bytes()
    for jar in rig.SWT_JARS:
        assert desk.unix(r"C:\app\swt" + "\\" + jar).is_file()
    assert desk.unix(r"C:\app\Vendro.exe").exists() == rig.PRODUCT.exists()


@BOTH
def test_registry_additions_land_in_their_view_and_go_at_reset(desk):
    jre = desk.add_runtime("1.8.0_45")
    jdk = desk.add_runtime("1.7.0_80", kind="jdk", vendor="IBM")
    desk.add_version_key(rig.RUNTIME_KEYS[("JavaSoft", "jre")], "1.9", None)
    desk.add_version_key(rig.RUNTIME_KEYS[("JavaSoft", "jdk")], "11.0.2", b"C:\\bin\xe1ry",
                         value_type="binary")
    assert desk.unix(jre + r"\bin\javaw.exe").is_file()
    assert desk.unix(jdk + r"\jre\bin\javaw.exe").is_file()
    if desk.is64:
        home64 = desk.add_runtime("1.8.0_60", view=64)
        assert home64 == r"C:\rt\64\JavaSoft-jre-1.8.0_60"
    desk.apply_registry()

    jre_key = desk.reg_query(r"SOFTWARE\JavaSoft\Java Runtime Environment")
    assert "1.8.0_45" in jre_key and jre in jre_key
    assert "1.9" in jre_key and jre_key.count("JavaHome") == 1
    assert "1.8.0_60" not in jre_key
    ibm_key = desk.reg_query(r"SOFTWARE\IBM\Java Development Kit")
    assert "1.7.0_80" in ibm_key and jdk in ibm_key
    jdk_key = desk.reg_query(r"SOFTWARE\JavaSoft\Java Development Kit")
    assert "REG_BINARY" in jdk_key and "3A5C62696EE17279" in jdk_key.upper()
    if desk.is64:
        key64 = desk.reg_query(r"SOFTWARE\JavaSoft\Java Runtime Environment", view=64)
        assert "1.8.0_60" in key64 and "1.8.0_45" not in key64
        assert desk.reg_query(r"SOFTWARE\IBM", view=64) is None
    else:
        with pytest.raises(ValueError):
            desk.add_runtime("1.8.0_60", view=64)

    desk.reset()
    desk.apply_registry()
    for view in desk.views:
        assert desk.reg_query(r"SOFTWARE\JavaSoft", view) is None
        assert desk.reg_query(r"SOFTWARE\IBM", view) is None


def test_files_map_to_the_prefix(desk):
    assert desk.unix(r"C:\app\Vendro.exe") == desk.prefix / "drive_c" / "app" / "Vendro.exe"
    path = desk.write_options(b"-Xmx512m\r\n# c\r\n")
    assert path == desk.prefix / "drive_c" / "app" / "Vendro.pmr.ini"
    assert path.read_bytes() == b"-Xmx512m\r\n# c\r\n"
    assert desk.write_options(b"x", exe=r"C:\Otro.exe") == desk.prefix / "drive_c" / "Otro.pmr.ini"
    desk.add_dir(r"C:\app\lib\old.jar")
    desk.remove(r"C:\app\lib\old.jar")
    assert not desk.unix(r"C:\app\lib\old.jar").exists()
    with pytest.raises(ValueError):
        desk.unix(r"D:\x")


def test_system_error_texts_are_read_as_the_failure_report_reads_them(desk):
    table = desk.error_table()
    # ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_FILENAME_EXCED_RANGE
    for code in (2, 5, 206):
        assert table[code].endswith(b"\r\n") and len(table[code]) > 4
        assert desk.error_text(code) == table[code]
    assert len(set(table[c] for c in (2, 5, 206))) == 3
    assert table[2] in desk.error_texts()
    assert 0x7FFF_FFFF not in table and desk.error_text(0x7FFF_FFFF) is None
