"""The Java command line a start builds: the options file, percent-sign references, the class
path, and the Path and working folder the Java program inherits."""

import pytest

import rig
from expect import (GENERAL_FAILURE, MAIN_CLASS, MAKER_URL, SWT32, SWT64, last_start,
                    logged_system_text, value)

JRE8 = r"C:\rt\jre8"
FIXED = b"-Dfile.encoding=UTF-8 "


def args_for(options, classpath=SWT32):
    return FIXED + options + b'-classpath "' + classpath + b'" ' + MAIN_CLASS + b" "


def start(desk, **launch):
    desk.add_runtime("1.8.0_45", home=JRE8)
    result = desk.launch(b"--pmr-debug --pmr-no-splash", **launch)
    assert result.exit_code == 0, result
    return result, last_start(result.log)


@pytest.mark.parametrize("content, options", [
    (None, b""),
    (b"-Xmx512m\r\n-Xms128m\r\n", b"-Xmx512m -Xms128m "),
    (b"-Xmx512m\n-Xms128m\n", b"-Xmx512m -Xms128m "),
    (b"-Xmx512m\r-Xms128m\r", b"-Xmx512m -Xms128m "),
    (b"# memory\r\n-Xmx512m # heap\r\n\r\n-Dapp.dir=%EXEDIR%", b"-Xmx512m -Dapp.dir=C:\\app "),
    (b"-Dcolor=#fff\r\n", b"-Dcolor= "),
    (b"\t-Dtab=1  -Dtwo=2\r\n", b"\t-Dtab=1  -Dtwo=2 "),
    (b"# only a comment\r\n", b""),
    (b"", b""),
    (b"-Da=1\r\n\x1a-Db=2\r\n", b"-Da=1 "),
    (b"-Dratio=50%\r\n", b"-Dratio=50% "),
    (b"-Da=1 # note\0\r\n-Db=2\r\n", b"-Da=1 -Db=2 "),  # a NUL goes with its comment
    # The most that is read (31722 bytes); of a longer file, the lines read whole.
    pytest.param(b"-Dbig=" + b"y" * (31722 - 6), b"-Dbig=" + b"y" * (31722 - 6) + b" ",
                 marks=pytest.mark.guest),
    pytest.param(b"-Dkey=v\n" * 4000, b"-Dkey=v " * (31722 // 8), marks=pytest.mark.guest),
    (b"-Da=1\r\n" + (b"# " + b"c" * 100 + b"\r\n") * 400, b"-Da=1 "),
    # An option that ends at the limit, its line end the first byte not read, is whole.
    pytest.param(b"-Dbig=" + b"y" * (31722 - 6) + b"\r\n-Dnext=1\r\n",
                 b"-Dbig=" + b"y" * (31722 - 6) + b" ", marks=pytest.mark.guest),
    # Java's own placeholder (%p) pairs with no percent sign of the next line.
    (b"-XX:ErrorFile=%TEMP%\\hs_err_pid%p.log\r\n-Dapp.home=%EXEDIR%\r\n",
     b"-XX:ErrorFile=C:\\temp\\hs_err_pid%p.log -Dapp.home=C:\\app "),
], ids=["none", "crlf", "lf", "cr", "comments", "hash inside", "tabs and blanks",
        "only comments", "empty", "ctrl-z", "lone percent", "NUL in a comment", "read limit",
        "longer, whole lines", "longer, a tail of comments", "line end right after the limit",
        "Java's placeholder"])
def test_options_file(desk, content, options):
    if content is not None:
        desk.write_options(content)
    result, lines = start(desk, env={"TEMP": r"C:\temp"})
    assert result.java_args == args_for(options)
    assert value(lines, b"Loading:\t") == (None if content is None else b"C:\\app\\Vendro.pmr.ini")


@pytest.mark.parametrize("line, env, expanded, logged", [
    (b"-Dexe=%EXEFILE%", {}, b"-Dexe=C:\\app\\Vendro.exe", [b"EXEFILE = C:\\app\\Vendro.exe"]),
    (b"-Dpwd=%PWD%", {"PWD": "elsewhere"}, b"-Dpwd=C:\\app", [b"PWD = C:\\app"]),
    (b"-Dold=%OLDPWD%", {"OLDPWD": "elsewhere"}, b"-Dold=C:\\vendro-test",
     [b"OLDPWD = C:\\vendro-test"]),
    (b"-Djre=%JREHOMEDIR%", {}, b"-Djre=C:\\rt\\jre8", [b"JREHOMEDIR = C:\\rt\\jre8"]),
    (b"-Dx=%NOT_SET%y", {}, b"-Dx=y", [b"NOT_SET = "]),
    (b"-Dp=%%", {}, b"-Dp=", [b" = "]),
    (b"%EXEDIR%%EXEFILE%", {}, b"C:\\appC:\\app\\Vendro.exe",
     [b"EXEDIR = C:\\app", b"EXEFILE = C:\\app\\Vendro.exe"]),
    (b"-Dl=%exedir%", {"exedir": "lower"}, b"-Dl=lower", [b"exedir = lower"]),
    (b"-Dv=%VAL%", {"VAL": "%EXEDIR%"}, b"-Dv=%EXEDIR%", [b"VAL = %EXEDIR%"]),
    (b"A%PWD%B%C", {}, b"AC:\\appB%C", [b"PWD = C:\\app"]),
    (b"-Dn=%" + b"N" * 128 + b"%", {"N" * 128: "long"}, b"-Dn=", [b"N" * 128 + b" = "]),
    (b"-Dv=%CAFE%", {"CAFE": b"caf\xe9"}, b"-Dv=caf\xe9", [b"CAFE = caf\xe9"]),
], ids=["EXEFILE", "PWD", "OLDPWD", "JREHOMEDIR", "unset", "empty name", "two in a row",
        "other case", "no second expansion", "unmatched percent", "name too long", "cp1252"])
def test_percent_references(desk, line, env, expanded, logged):
    desk.write_options(line + b"\r\n")
    result, lines = start(desk, env=env, cwd=r"C:\vendro-test")
    assert result.java_args == args_for(expanded + b" ")
    substitutions = [l[len(b"Substitute:\t"):] for l in lines if l.startswith(b"Substitute:\t")]
    assert substitutions == logged + [b"EXEDIR = C:\\app"]  # the last one is the class path's


def jar(desk, path):
    desk.add_file(path, rig.EMPTY_JAR)


@pytest.mark.parametrize("lib, view, kind, classpath", [
    (["z.jar", "A.jar", "m.jar", "old.jar\\", "readme.txt"], 32, "jre",
     b"C:\\app\\lib\\A.jar;C:\\app\\lib\\m.jar;C:\\app\\lib\\old.jar;C:\\app\\lib\\z.jar;"
     + SWT32),
    (None, 32, "jdk", SWT32),
    # The 64-bit registry view, which the 32-bit build reads through WOW64.
    pytest.param([], 64, "jre", SWT64, marks=pytest.mark.guest),
    pytest.param(["a.jar"], 64, "jdk", b"C:\\app\\lib\\a.jar;" + SWT64, marks=pytest.mark.guest),
], ids=["listing order, folders too", "no lib folder", "empty lib, 64-bit", "64-bit kit"])
def test_class_path(desk, lib, view, kind, classpath):
    desk.remove(r"C:\app\lib")
    if lib is not None:
        desk.add_dir(r"C:\app\lib")
        for name in lib:
            if name.endswith("\\"):
                desk.add_dir("C:\\app\\lib\\" + name)
            else:
                jar(desk, "C:\\app\\lib\\" + name)
    home = desk.add_runtime("1.8.0_45", kind=kind, view=view)
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 0
    assert result.java_args == args_for(b"", classpath)
    lines = last_start(result.log)
    *jars, swt = classpath.split(b";")
    logged = ([b"Add classpath:\tC:\\app\\lib\\*.jar"]
              + [b'      "      :\t' + path for path in jars] + [b'      " SWT  :\t' + swt])
    first = lines.index(logged[0])
    assert lines[first:first + len(logged)] == logged
    assert result.java_program.startswith(home.encode())


@pytest.mark.parametrize("path, home, expected", [
    ("C:\\Windows", "C:\\Java\\jre7", b"C:\\Windows;C:\\Java\\jre7\\bin"),
    (None, "C:\\Java\\jre7", b";C:\\Java\\jre7\\bin"),
    ("C:\\Windows", "C:\\Java\\jre7\\", b"C:\\Windows;C:\\Java\\jre7\\\\bin"),
    ("C:\\Java\\jre7\\bin;C:\\Windows", "C:\\Java\\jre7",
     b"C:\\Java\\jre7\\bin;C:\\Windows;C:\\Java\\jre7\\bin"),
], ids=["appended", "no Path", "home ends in backslash", "already on Path"])
def test_runtime_bin_goes_last_on_path(desk, path, home, expected):
    desk.add_version_key(r"SOFTWARE\JavaSoft\Java Runtime Environment", "1.8.0_45", home)
    desk.copy_file(rig.DOUBLES / "javaw.exe", home.rstrip("\\") + r"\bin\javaw.exe")
    result = desk.launch(b"--pmr-no-splash", env={"Path": path})
    assert result.exit_code == 0
    assert result.java["path"] == expected


@pytest.mark.parametrize("spare", [0, 1], ids=["at the limit", "one past"])
def test_path_at_its_length_limit(desk, spare):
    bin_dir = JRE8 + "\\bin"
    # The new Path holds at most 32766 characters: one more is accepted by the system, but the
    # Java process then gets an empty Path.
    path = "C:\\" + "p" * (32766 - 1 - len(bin_dir) - 3 + spare)
    desk.add_runtime("1.8.0_45", home=JRE8)
    result = desk.launch(b"--pmr-debug --pmr-no-splash", env={"Path": path})
    lines = last_start(result.log)
    if spare == 0:
        assert result.exit_code == 0
        assert result.java["path"] == path.encode() + b";" + bin_dir.encode()
        return
    assert result.exit_code == 1 and result.java is None
    assert lines[lines.index(b"Runtime used:\t1.8.0_45 (32-bit)") + 1] == (
        b"Error:\t\tappendToPathVar failed.")
    assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
    assert logged_system_text(lines) is None  # too long is no system error
    assert result.boxes[0]["text"] == GENERAL_FAILURE
    assert result.wait_urls(1) == [MAKER_URL]


def test_exe_at_the_root_of_a_drive(desk):
    desk.add_product(r"C:\Vendro.exe")
    jar(desk, r"C:\lib\root.jar")
    desk.add_runtime("1.8.0_45", home=JRE8)
    result = desk.launch(b"--pmr-debug --pmr-no-splash", exe=r"C:\Vendro.exe")
    assert result.exit_code == 0
    lines = last_start(result.log)
    assert value(lines, b"Working dir:\t") == b"C:\\."
    assert value(lines, b"Add classpath:\t") == b"C:\\lib\\*.jar"
    assert result.java["cwd"] == b"C:\\"
    assert result.java_args == args_for(
        b"", b"C:\\lib\\root.jar;C:\\swt\\org.eclipse.swt.win32.win32.x86-4.4.jar")


@pytest.mark.parametrize("length, read", [(255, True), (256, False)])
def test_options_file_of_a_long_exe_name(desk, length, read):
    # 256 characters leave no room in 260 bytes for the options file's name; the name the
    # launcher would get by cutting it must not be read either.
    exe = "C:\\app\\" + "V" * (length - 11) + ".exe"
    desk.add_product(exe)
    options = exe[:-3] + "pmr.ini"
    desk.add_file(options, b"-Dread=1\r\n")
    if len(options) > 259:
        desk.add_file(options[:259], b"-Dcut=1\r\n")
    desk.add_runtime("1.8.0_45", home=JRE8)
    result = desk.launch(b"--pmr-debug --pmr-no-splash", exe=exe)
    assert result.exit_code == 0
    assert result.java_args == args_for(b"-Dread=1 " if read else b"")
    assert (value(last_start(result.log), b"Loading:\t") is not None) == read


def test_class_path_too_long_fails_instead_of_being_cut(desk):
    for number in range(1200):
        jar(desk, "C:\\app\\lib\\%04d-%s.jar" % (number, "ventalia-module" * 3))
    desk.add_runtime("1.8.0_45", home=JRE8)
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 1 and result.java is None
    lines = last_start(result.log)
    assert value(lines, b"Args length:\t") == b"32767/32768 chars"
    assert logged_system_text(lines) == desk.error_text(206)
    assert result.boxes[0]["text"] == GENERAL_FAILURE + b"\n\n" + desk.error_text(206)
