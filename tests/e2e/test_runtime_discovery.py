"""Which registered Java runtime a start picks, what the log says about each candidate, and the
message when none is usable. Each scenario gives the registry, the files, and the log's lines
from the first registry search to the choice (or to the last search)."""

from dataclasses import dataclass

import pytest

import rig
from expect import (GENERAL_FAILURE, IBM_JDK_KEY, IBM_JRE_KEY, INVALID_JAVA, JAVA_URL, JDK_KEY,
                    JRE_KEY, MAKER_URL, SWT32, SWT64, check, last_start, launcher,
                    logged_system_text, search, value)


@dataclass
class Key:
    view: int
    key: bytes
    version: bytes
    home: object  # text of JavaHome, bytes for a binary value, None for no value
    javaw: bytes = None  # where the stand-in Java launcher is put (None: nowhere)
    javaw_is_folder: bool = False


@dataclass
class Scenario:
    name: str
    keys: list
    lines: list  # log lines from the first search line on
    used: bytes = None  # the Java launcher started; None: no runtime is usable
    bad_seen: bool = False  # a candidate passed the version tests but was unusable
    windows: str = "win64"
    swt: bytes = SWT32


def match(version):
    return b"Match:\t\t" + version


def ignore(version):
    return b"Ignore:\t\t" + version


def used(version, bits):
    return b"Runtime used:\t%s (%d-bit)" % (version, bits)


def jre(view, version, home, key=JRE_KEY, launcher_found=True):
    return Key(view, key, version, home, home + b"\\bin\\javaw.exe" if launcher_found else None)


def jdk(view, version, home, key=JDK_KEY):
    return Key(view, key, version, home, home.rstrip(b"\\") + b"\\jre\\bin\\javaw.exe")


JRE8 = b"C:\\rt\\jre8"
JDK8 = b"C:\\rt\\jdk8"
NOT_FOUND_REST = [search(64, JRE_KEY), search(32, IBM_JDK_KEY), search(64, IBM_JDK_KEY),
                  search(32, IBM_JRE_KEY), search(64, IBM_JRE_KEY)]

SCENARIOS = [
    Scenario("one runtime on 32-bit Windows", [jre(32, b"1.8.0_45", JRE8)], [
        search(32, JDK_KEY), search(32, JRE_KEY), check(JRE_KEY, b"1.8.0_45"),
        launcher(JRE8 + b"\\bin\\javaw.exe", True), match(b"1.8.0_45"), used(b"1.8.0_45", 32)],
        used=JRE8 + b"\\bin\\javaw.exe", windows="win32"),
    Scenario("a runtime only in the 64-bit view", [jre(64, b"1.8.0_45", JRE8)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY), search(64, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), launcher(JRE8 + b"\\bin\\javaw.exe", True),
        match(b"1.8.0_45"), used(b"1.8.0_45", 64)],
        used=JRE8 + b"\\bin\\javaw.exe", swt=SWT64),
    Scenario("a 32-bit runtime is preferred to a greater 64-bit one",
             [jre(32, b"1.7.0_80", b"C:\\rt\\jre7"), jre(64, b"1.8.0_45", JRE8)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.7.0_80"), launcher(b"C:\\rt\\jre7\\bin\\javaw.exe", True),
        match(b"1.7.0_80"), used(b"1.7.0_80", 32)],
        used=b"C:\\rt\\jre7\\bin\\javaw.exe"),
    Scenario("a 64-bit kit keeps its place against a runtime of the same version",
             [jdk(64, b"1.8.0_45", JDK8), jre(64, b"1.8.0_45", JRE8)], [
        search(32, JDK_KEY), search(64, JDK_KEY), check(JDK_KEY, b"1.8.0_45"),
        launcher(JDK8 + b"\\jre\\bin\\javaw.exe", True), match(b"1.8.0_45"),
        search(32, JRE_KEY), search(64, JRE_KEY), check(JRE_KEY, b"1.8.0_45"),
        ignore(b"1.8.0_45"), used(b"1.8.0_45", 64)],
        used=JDK8 + b"\\jre\\bin\\javaw.exe", swt=SWT64),
    Scenario("a greater 32-bit runtime replaces a 64-bit kit and ends the 64-bit search",
             [jdk(64, b"1.8.0_45", JDK8), jre(32, b"1.8.0_60", JRE8)], [
        search(32, JDK_KEY), search(64, JDK_KEY), check(JDK_KEY, b"1.8.0_45"),
        launcher(JDK8 + b"\\jre\\bin\\javaw.exe", True), match(b"1.8.0_45"),
        search(32, JRE_KEY), check(JRE_KEY, b"1.8.0_60"),
        launcher(JRE8 + b"\\bin\\javaw.exe", True), match(b"1.8.0_60"), used(b"1.8.0_60", 32)],
        used=JRE8 + b"\\bin\\javaw.exe"),
    Scenario("an IBM runtime when JavaSoft has none", [jre(32, b"1.8.0", JRE8, IBM_JRE_KEY)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY), search(64, JRE_KEY),
        search(32, IBM_JDK_KEY), search(64, IBM_JDK_KEY), search(32, IBM_JRE_KEY),
        check(IBM_JRE_KEY, b"1.8.0"), launcher(JRE8 + b"\\bin\\javaw.exe", True),
        match(b"1.8.0"), used(b"1.8.0", 32)],
        used=JRE8 + b"\\bin\\javaw.exe"),
    Scenario("version names in byte order", [
        jre(32, v, b"C:\\rt\\" + v) for v in
        (b"1.10.0", b"1.7", b"1.7.0", b"1.8.0_101", b"1.8.0_45", b"10", b"11.0.2")], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.10.0"), ignore(b"1.10.0"),
        check(JRE_KEY, b"1.7"), ignore(b"1.7")] + [
        line for v in (b"1.7.0", b"1.8.0_101", b"1.8.0_45", b"10", b"11.0.2") for line in (
            check(JRE_KEY, v), launcher(b"C:\\rt\\" + v + b"\\bin\\javaw.exe", True), match(v))
    ] + [used(b"11.0.2", 32)],
        used=b"C:\\rt\\11.0.2\\bin\\javaw.exe"),
    Scenario("1.8.0_101 is below an accepted 1.8.0_45, and an equal name is no better",
             [jdk(32, b"1.8.0_45", JDK8), jre(32, b"1.8.0_101", JRE8),
              jre(32, b"1.8.0_45", b"C:\\rt\\other")], [
        search(32, JDK_KEY), check(JDK_KEY, b"1.8.0_45"),
        launcher(JDK8 + b"\\jre\\bin\\javaw.exe", True), match(b"1.8.0_45"),
        search(32, JRE_KEY), check(JRE_KEY, b"1.8.0_101"), ignore(b"1.8.0_101"),
        check(JRE_KEY, b"1.8.0_45"), ignore(b"1.8.0_45"), used(b"1.8.0_45", 32)],
        used=JDK8 + b"\\jre\\bin\\javaw.exe"),
    Scenario("a kit's JavaHome ending in a backslash",
             [jdk(32, b"1.8.0_45", b"C:\\rt\\jdk\\")], [
        search(32, JDK_KEY), check(JDK_KEY, b"1.8.0_45"),
        launcher(b"C:\\rt\\jdk\\jre\\bin\\javaw.exe", True), match(b"1.8.0_45"),
        search(32, JRE_KEY), used(b"1.8.0_45", 32)],
        used=b"C:\\rt\\jdk\\jre\\bin\\javaw.exe"),
    Scenario("a folder named javaw.exe counts as the launcher",
             [Key(32, JRE_KEY, b"1.8.0_45", JRE8, JRE8 + b"\\bin\\javaw.exe", True)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), launcher(JRE8 + b"\\bin\\javaw.exe", True),
        match(b"1.8.0_45"), used(b"1.8.0_45", 32)],
        used=JRE8 + b"\\bin\\javaw.exe"),
    # No usable runtime
    Scenario("only runtimes below the minimum", [
        jre(32, b"1.6", b"C:\\rt\\jre6"), jre(32, b"1.6.0_45", b"C:\\rt\\jre6u45")], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.6"), ignore(b"1.6"), check(JRE_KEY, b"1.6.0_45"),
        ignore(b"1.6.0_45")] + NOT_FOUND_REST),
    Scenario("no search key exists", [], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY)] + NOT_FOUND_REST),
    Scenario("the launcher is missing", [jre(32, b"1.8.0_45", JRE8, launcher_found=False)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), launcher(JRE8 + b"\\bin\\javaw.exe", False),
        ignore(b"1.8.0_45")] + NOT_FOUND_REST, bad_seen=True),
    Scenario("a version key without JavaHome", [Key(32, JRE_KEY, b"1.8.0_45", None)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), ignore(b"1.8.0_45")] + NOT_FOUND_REST, bad_seen=True),
    Scenario("an empty JavaHome of a runtime", [Key(32, JRE_KEY, b"1.8.0_45", b"")], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), launcher(b"", False), ignore(b"1.8.0_45")]
        + NOT_FOUND_REST, bad_seen=True),
    # An empty JavaHome of a kit stays empty: joined with "jre" it would name a folder relative
    # to the working folder, where an unrelated runtime could be found.
    Scenario("an empty JavaHome of a kit", [
        Key(32, JDK_KEY, b"1.8.0_45", b"", b"C:\\app\\jre\\bin\\javaw.exe")], [
        search(32, JDK_KEY), check(JDK_KEY, b"1.8.0_45"), launcher(b"", False),
        ignore(b"1.8.0_45"), search(64, JDK_KEY), search(32, JRE_KEY)] + NOT_FOUND_REST,
        bad_seen=True),
    # Texts that do not fit their 260-byte buffers make a candidate unusable; nothing is cut
    # into a path that names something else.
    Scenario("a JavaHome of 260 bytes without a terminator",
             [Key(32, JRE_KEY, b"1.8.0_45", b"C:\\" + b"j" * 257)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"), ignore(b"1.8.0_45")] + NOT_FOUND_REST, bad_seen=True),
    Scenario("a kit whose JavaHome leaves no room for jre",
             [Key(32, JDK_KEY, b"1.8.0_45", b"C:\\" + b"k" * 254)], [
        search(32, JDK_KEY), check(JDK_KEY, b"1.8.0_45"), ignore(b"1.8.0_45"),
        search(64, JDK_KEY), search(32, JRE_KEY)] + NOT_FOUND_REST, bad_seen=True),
    Scenario("a JavaHome that leaves no room for the launcher",
             [Key(32, JRE_KEY, b"1.8.0_45", b"C:\\" + b"h" * 247)], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        check(JRE_KEY, b"1.8.0_45"),
        launcher((b"C:\\" + b"h" * 247 + b"\\bin\\javaw.exe")[:259], False, cut=True),
        ignore(b"1.8.0_45")] + NOT_FOUND_REST, bad_seen=True),
    Scenario("a version name too long for its buffers",
             [Key(32, JRE_KEY, b"9" + b"v" * 229, JRE8, JRE8 + b"\\bin\\javaw.exe")], [
        search(32, JDK_KEY), search(64, JDK_KEY), search(32, JRE_KEY),
        b"Check:\t\t" + (JRE_KEY + b"\\9" + b"v" * 229)[:259], ignore(b"9" + b"v" * 229)]
        + NOT_FOUND_REST, bad_seen=True),
]


def install(desk, key):
    # 260 bytes with no terminator can only be stored as a binary value; its type is not read.
    binary = isinstance(key.home, bytes) and len(key.home) == 260
    desk.add_version_key(key.key.decode(), key.version.decode("latin-1"),
                         None if key.home is None else key.home.decode("latin-1"),
                         view=key.view, value_type="binary" if binary else "sz")
    if key.javaw_is_folder:
        desk.add_dir(key.javaw.decode())
    elif key.javaw:
        desk.copy_file(rig.DOUBLES / "javaw.exe", key.javaw.decode())


def without_system_text(text, lines):
    """The box shows the failure text, then two line feeds and the system's text when the
    last error code was not 0; the log's "Error:" line after "Error msg:" says which."""
    system_text = logged_system_text(lines)
    if system_text is None:
        return text
    assert text.endswith(b"\n\n" + system_text), (text, system_text)
    return text[:-len(b"\n\n" + system_text)]


def predicted_box(section):
    """Caption and text of the box the diagnostic predicts, line ends as LF."""
    body = section.strip("\r\n").split("\r\n")
    caption = next(line for line in body if line.startswith("  Título: "))[len("  Título: "):]
    start = body.index("  Texto:") + 1
    text = [line[4:] for line in body[start:] if line.startswith("    ")]
    return caption.encode("cp1252"), "\n".join(text).encode("cp1252")


def check_prediction(desk, scenario, result, lines):
    """The desk diagnostic, built from the launcher's own code, predicts this start: the runtime
    the scenario expects (written from the rules, the independent oracle), the Java command line
    byte for byte as Java received it, or the box the launcher showed."""
    report = desk.diagnose()
    if scenario.used is None:
        assert "Qué Java usará Vendro" not in report
        caption, text = predicted_box(report["Vendro no arrancará Java"])
        shown = result.boxes[0]
        assert caption == shown["caption"]
        assert text == shown["text"].replace(b"\r\n", b"\n").rstrip(b"\n")
        return
    verdict = report["Qué Java usará Vendro"]
    assert f"Programa: {scenario.used.decode('cp1252')}\r\n" in verdict
    run = report["Qué ejecutaría Vendro"].strip("\r\n").split("\r\n")
    command = run[1].encode("cp1252")
    received = result.java["cmdline"] if result.java else (
        b'"' + value(lines, b"Launcher:\t") + b'" ' + value(lines, b"Launcher args:\t"))
    assert command == received


def in_guest(scenario):
    """32-bit Windows, and the registry's 64-bit view that only the 32-bit build reaches
    through WOW64."""
    return scenario.windows == "win32" or any(key.view == 64 for key in scenario.keys)


@pytest.mark.parametrize("scenario", [
    pytest.param(s, id=s.name, marks=pytest.mark.guest if in_guest(s) else ()) for s in SCENARIOS])
def test_runtime_choice(request, scenario):
    desk = request.getfixturevalue(scenario.windows)
    for key in scenario.keys:
        install(desk, key)
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    lines = last_start(result.log)
    check_prediction(desk, scenario, result, lines)
    first = next(i for i, line in enumerate(lines) if b"-bit search:\t" in line)
    if scenario.used is None:
        report = next(i for i, line in enumerate(lines) if line.startswith(b"Error msg:\t"))
        assert lines[first:report] == scenario.lines
        assert result.exit_code == 1 and result.java is None
        text = INVALID_JAVA + (b"\n" + GENERAL_FAILURE if scenario.bad_seen else b"")
        assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
        assert without_system_text(result.boxes[0]["text"], lines) == text
        assert result.wait_urls(1) == [JAVA_URL]
        return
    assert lines[first:first + len(scenario.lines)] == scenario.lines
    assert value(lines, b"Launcher:\t") == scenario.used
    if any(key.javaw_is_folder for key in scenario.keys):
        # Chosen, but a folder cannot be started: the general failure with the system's reason.
        assert result.exit_code == 1 and result.java is None
        assert [box["caption"] for box in result.boxes] == [b"Vendro ERROR"]
        system_text = logged_system_text(lines)
        assert system_text
        assert result.boxes[0]["text"] == GENERAL_FAILURE + b"\n\n" + system_text
        assert result.wait_urls(1) == [MAKER_URL]
        return
    assert result.exit_code == 0
    assert result.java_program == scenario.used
    assert scenario.swt + b'" ' in result.java_args
    assert result.boxes == []
