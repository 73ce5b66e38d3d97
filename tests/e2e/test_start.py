"""A start from the desk's point of view: which Java program runs, with what, and where."""

import struct
from pathlib import Path

import pytest

import expect
import rig
from expect import GENERAL_FAILURE, MAKER_URL, log_lines, last_start, value

EXPECTED = Path(__file__).parent / "expected"
BOTH = ["win64", "win32"]


def add_jars(desk, *names):
    for name in names:
        desk.add_file(desk.app + "\\lib\\" + name, b"PK\x05\x06" + bytes(18))


@pytest.mark.parametrize("options, expected", [
    pytest.param(None, "start_64bit_windows.log", marks=pytest.mark.guest),
    (b"-Xmx512m # heap\r\n-Dapp.home=%EXEDIR%\r\n-Djre=%JREHOMEDIR%\r\n",
     "start_with_options.log"),
])
def test_logged_start_is_byte_exact(desk, options, expected):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    add_jars(desk, "b.jar", "a.jar")
    if options is not None:
        desk.write_options(options)
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 0
    assert result.log == (EXPECTED / expected).read_bytes()
    lines = log_lines(result.log)
    assert result.java["cmdline"] == (b'"' + value(lines, b"Launcher:\t") + b'" '
                                      + value(lines, b"Launcher args:\t"))
    assert result.boxes == [] and result.urls == []


@pytest.mark.guest
@pytest.mark.parametrize("desk", BOTH, indirect=True)
def test_java_runs_in_the_exe_folder_with_runtime_bin_last_on_path(desk):
    home = desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug --pmr-no-splash", cwd=r"C:\vendro-test",
                         env={"Path": r"C:\windows\system32;C:\tools"})
    assert result.exit_code == 0
    java = result.java
    program, args = result.java_program, result.java_args
    assert java["cmdline"] == b'"' + program + b'" ' + args
    assert program == home.encode() + b"\\bin\\javaw.exe"
    assert args.startswith(b"-Dfile.encoding=UTF-8 -classpath \"")
    assert args.endswith(expect.MAIN_CLASS + b" ")
    assert java["cwd"] == b"C:\\app"
    assert java["path"] == b"C:\\windows\\system32;C:\\tools;C:\\rt\\jre8\\bin"
    # The start-up record carries nothing but its size: no window placement, no handles.
    assert int(java["si_flags"]) == 0 and int(java["si_show"]) == 0


@pytest.mark.guest
def test_java_process_is_created_inheriting_handles_in_the_high_priority_class(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-no-splash", relay=r"CreateProcessA\(.*javaw\.exe")
    assert result.exit_code == 0
    calls = [line for line in result.relay if "Call KERNEL32.CreateProcessA(" in line]
    assert len(calls) == 1, result.relay
    # ...,"<command line>",<process attributes>,<thread attributes>,<inherit>,<flags>,...
    tail = calls[0].rsplit('.jar\\" es.tramontel.ventalia.IniciarVentalia ",', 1)[1]
    process_attributes, thread_attributes, inherit, flags = tail.split(",")[:4]
    assert int(process_attributes, 16) == 0 and int(thread_attributes, 16) == 0
    # 32-bit arguments: a 64-bit trace shows whole registers, whose upper half may hold anything.
    assert rig.relay_number(inherit) == 1
    assert rig.relay_number(flags) == 0x80


@pytest.mark.guest
@pytest.mark.parametrize("cmdline, tail", [
    (b'"C:\\app\\Vendro.exe"', b""),
    (b'C:\\app\\Vendro.exe', b""),
    (b'"C:\\app\\Vendro.exe"   --pmr-no-splash  -Xmx1g  ', b"--pmr-no-splash  -Xmx1g  "),
    (b'C:\\app\\Vendro.exe\t \t--pmr-no-splash x', b"--pmr-no-splash x"),
    (b'"C:\\my app\\Vendro.exe" --pmr-no-splash "a b"', b'--pmr-no-splash "a b"'),
])
def test_command_line_text_after_the_program_name(desk, cmdline, tail):
    exe = cmdline.split(b'"')[1] if cmdline.startswith(b'"') else cmdline.split()[0]
    desk.add_product(exe.decode())
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(cmdline=cmdline, exe=exe.decode(), env={"Pelmorin": "debug"})
    assert result.exit_code == 0
    lines = last_start(result.log)
    assert value(lines, b"CmdLine:\t") == exe + b" " + tail
    assert value(lines, b"Working dir:\t") == exe.rsplit(b"\\", 1)[0] + b"\\."
    # The launcher's own arguments never reach the Java program.
    assert result.java_args.split(b" -classpath ")[0] == b"-Dfile.encoding=UTF-8"


@pytest.mark.guest
@pytest.mark.parametrize("overflow", ["command line", "argument text"])
def test_too_long_java_command_line_fails_instead_of_being_cut(desk, overflow):
    home = desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.write_options(b"-Dbig=%BIG%\r\n")
    probe = desk.launch(b"--pmr-debug --pmr-no-splash", env={"BIG": "x"})
    probe_length = int(value(last_start(probe.log), b"Args length:\t").split(b"/")[0])
    desk.kill_server()
    # The command line is a quote, the launcher, a quote, a blank and the argument text: one
    # byte more than its 32767 characters; or an argument text that outgrows its own buffer.
    if overflow == "command line":
        length = 32767 - len(b'"%s" ' % (home + "\\bin\\javaw.exe").encode()) + 1
        big = "x" * (length - probe_length + 1)
    else:
        length, big = 32767, "x" * 32766
    result = desk.launch(b"--pmr-debug --pmr-no-splash", env={"BIG": big})
    assert result.exit_code == 1
    assert result.java is None
    lines = last_start(result.log)
    assert value(lines, b"Args length:\t") == b"%d/32768 chars" % length
    system_text = expect.logged_system_text(lines)
    assert system_text == desk.error_text(expect.ERROR_FILENAME_EXCED_RANGE)
    assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
    assert result.boxes[0]["text"] == GENERAL_FAILURE + b"\n\n" + system_text
    assert result.wait_urls(1) == [MAKER_URL]
    assert value(lines, b"Exit code:\t") is None


SIGNED = rig.BUILD / "signed" / rig.BUILD_KIND / "Vendro.exe"


def test_signed_file_starts_java(desk):
    """The launcher signed the way scripts/release.sh signs it (Authenticode, scripts/sign.sh)
    starts like the unsigned one. tests/check_release.py (ctest release_package) leaves the rig's
    build signed with a throwaway certificate in build/signed/."""
    if not SIGNED.is_file():
        pytest.skip(f"no signed build at {SIGNED}: ctest -R release_package makes it")
    if SIGNED.stat().st_mtime < rig.PRODUCT.stat().st_mtime:
        pytest.skip(f"{SIGNED} is older than {rig.PRODUCT}: ctest -R release_package signs it anew")
    data = SIGNED.read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    offset, size = struct.unpack_from("<II", data, directories + 4 * 8)  # the certificate table
    assert size > 0 and offset + size == len(data), "the file carries no signature"
    desk.copy_file(SIGNED, desk.app + r"\Vendro.exe")
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 0
    assert result.java is not None
    assert log_lines(result.log)[-1] == b"Exit code:\t0"
