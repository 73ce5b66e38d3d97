"""What a start must not leave behind or let through: handles that outlive the launcher in other
programs, and options files as editors save them."""

import pytest

import rig
from expect import INVALID_JAVA, JAVA_URL, log_lines

TITLE = "Vendro - Taquilla"


@pytest.mark.guest
def test_java_program_does_not_hold_the_debug_log_open(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug", java_action=f"window:{TITLE}")
    assert result.exit_code == rig.STILL_ACTIVE  # the Java program runs on
    desk.wine(["cmd", "/c", "ren", r"C:\app\pelmorin.log", "antiguo.log"], check=False)
    assert desk.read(r"C:\app\antiguo.log") == result.log


def test_browser_opened_after_a_failure_does_not_keep_the_application_name(desk):
    # No runtime: the failure opens the download page in a "browser" that stays open.
    linger = rig.scaled(15)
    first = desk.launch(b"--pmr-no-splash", env={"URLREC_WAIT": str(int(linger * 1000))})
    assert first.exit_code == 1 and first.wait_urls(1)
    assert any("urlrec.exe" in p.args for p in desk.windows_processes())
    second = desk.launch(b"--pmr-no-splash --pmr-debug")
    assert any("urlrec.exe" in p.args for p in desk.windows_processes())
    assert second.exit_code == 1  # not 2: nothing holds the name "Vendro"
    assert second.boxes[0]["text"].startswith(INVALID_JAVA)


@pytest.mark.guest
def test_web_page_is_opened_with_com_and_without_the_shells_own_boxes(desk):
    # Wine never shows the shell's own error or "open with" boxes; only the request's mask
    # (Wine's +exec channel) shows that Windows would not show them after the failure box.
    # ole32 hands CoInitializeEx on to combase on newer systems and under Wine.
    result = desk.launch(b"--pmr-no-splash", relay=r"\.(CoInitializeEx|ShellExecute\w*)\(|mask=0x",
                         trace="+relay,+exec")
    assert result.exit_code == 1 and result.wait_urls(1)
    calls = [line.split("Call ", 1)[1] for line in result.relay if "Call " in line]
    # Wine's own window code initialises COM on the thread too; ours asks for an apartment
    # without OLE1 DDE (COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) before the shell.
    ours = calls.index(next(c for c in calls if ".CoInitializeEx(00000000,00000006)" in c))
    shell = calls.index(next(c for c in calls if c.startswith("shell32.ShellExecuteExA(")))
    assert ours < shell
    [mask] = [int(line.split("mask=0x", 1)[1].split()[0], 16) for line in result.relay
              if "mask=0x" in line]
    assert mask & 0x500 == 0x500  # SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI


STARTS = ("KERNEL32.CreateProcessA(", "shell32.ShellExecuteExA(")


def without_default_dll_directories(desk):
    """The launcher as it runs where SetDefaultDllDirectories is missing (Vista, Windows 7
    without its update): Wine has the function, so the copy asks for a name that is not there."""
    name = b"SetDefaultDllDirectories"
    program = rig.PRODUCT.read_bytes()
    assert program.count(name) == 1
    desk.add_file(rig.APP_EXE, program.replace(name, name[:-1] + b"X"))


@pytest.mark.guest
@pytest.mark.parametrize("fallback", [False, True], ids=["", "without SetDefaultDllDirectories"])
@pytest.mark.parametrize("runtime", [True, False], ids=["java started", "web page opened"])
def test_programs_started_keep_the_default_dll_search(desk, runtime, fallback):
    # On Windows a DLL directory set with SetDllDirectoryA is passed on to every process started
    # afterwards (Wine passes it on to none): only the order of the calls shows it. The launcher
    # limits its own search first; at each start of the updater, of Java or of the shell the DLL
    # directory is the default (never set, or set back to NULL), and as soon as the start has
    # returned the launcher's own search is limited again, for the boxes and the shell after it.
    if runtime:
        desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    if fallback:
        without_default_dll_directories(desk)
    result = desk.launch(b"--pmr-no-splash", relay=r"\.(SetDllDirectoryA|SetDefaultDllDirectories"
                         r"|CreateProcessA|ShellExecuteExA)\(")
    assert result.exit_code == (0 if runtime else 1)
    calls = [line for line in result.relay if ":Call " in line or ":Ret " in line]
    starts = [i for i, line in enumerate(calls)
              if ":Call " in line and line.split(":Call ", 1)[1].startswith(STARTS)]
    assert len(starts) == 2, calls  # the updater's check, then Java or the web page
    limits = [i for i, line in enumerate(calls) if "DllDirector" in line]
    assert limits and limits[0] < starts[0]
    for start in starts:
        directory = rig.relay_calls(calls[:start], "KERNEL32.SetDllDirectoryA")
        assert not directory or rig.relay_number(directory[-1][0]) == 0, calls[:start + 1]
    limited = [line for line in result.relay
               if ":Ret  KERNEL32.SetDefaultDllDirectories(" in line
               and rig.relay_number(line.split("retval=", 1)[1]) != 0]
    if not fallback:
        # Where the search can be limited to the system directory for the launcher alone
        # (Wine, current Windows), the DLL directory is never touched.
        assert limited and not rig.relay_calls(calls, "KERNEL32.SetDllDirectoryA")
        return
    assert not limited and not any("SetDefaultDllDirectories" in line for line in calls)
    # Set to "" first, set back around each start, and "" again as the next thing it returned.
    def directory_set(line):
        return (":Call KERNEL32.SetDllDirectoryA(" in line
                and rig.relay_calls([line], "KERNEL32.SetDllDirectoryA")[0][0].endswith('""'))
    assert directory_set(calls[limits[0]])
    for start in starts:
        returned = next(i for i in range(start, len(calls)) if ":Ret " in calls[i]
                        and calls[i].split(":Ret ", 1)[1].lstrip().startswith(STARTS))
        following = [line for line in calls[returned + 1:] if ":Call " in line]
        assert following and directory_set(following[0]), calls[start:]


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
@pytest.mark.parametrize("saved, options, logged", [
    (b"\xef\xbb\xbf-Xmx64m\r\n-Da=\xc3\xb1", [b"-Xmx64m", b"-Da=\xc3\xb1"], None),
    ("-Xmx64m\r\n".encode("utf-16"), [], b"ignored, the file is UTF-16"),
    (b"\xfe\xff\0-\0X", [], b"ignored, the file is UTF-16"),
], ids=["UTF-8 with mark", "UTF-16 LE", "UTF-16 BE"])
def test_options_file_saved_with_a_byte_order_mark(desk, saved, options, logged):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.write_options(saved)
    result = desk.launch(b"--pmr-debug --pmr-no-splash")
    assert result.exit_code == 0
    argv = result.java_argv
    assert argv[:len(options) + 1] == [b"-Dfile.encoding=UTF-8", *options]
    assert argv[len(options) + 1] == b"-classpath"
    option_lines = [line for line in log_lines(result.log) if line.startswith(b"Options:\t")]
    assert option_lines == ([b"Options:\t" + logged] if logged else [])


# DLLs that user32, shell32 and COM pull in; planted beside the launcher, preferred over the
# system's. Under Wine user32 brings version and imm32 with it.
PLANTED = ("version", "imm32", "shlwapi", "ole32", "shcore", "propsys")
LOADED_FROM_APP = r'Loaded L"C:\\\\app\\\\'


def planted_loads(result):
    """Names of DLLs whose code was loaded from C:\\app. Wine may report its own (builtin) copy
    of a system DLL under the path of a same-named file it found there; that is not the file."""
    return {line.split("\\\\")[-1].split('"')[0].lower() for line in result.relay
            if line.rstrip().endswith(": native")}


@pytest.mark.guest
def test_dlls_planted_beside_the_launcher_are_not_loaded(desk):
    # The updater stand-in is removed: it is a program without the defence in the same folder.
    desk.remove(r"C:\app\wyUpdate.exe")
    for name in PLANTED:
        desk.copy_file(rig.DOUBLES / "planted.dll", rf"C:\app\{name}.dll")
    desk.copy_file(rig.DOUBLES / "probe.exe", r"C:\app\probe.exe")
    prefer = {"WINEDLLOVERRIDES": ",".join(PLANTED) + "=n,b;mscoree,mshtml="}
    # A program without the defence opening a web page loads the planted copies...
    unsafe = desk.launch(cmdline=rb'"C:\app\probe.exe" url https://example.com/',
                         env=prefer, relay=LOADED_FROM_APP, trace="+loaddll")
    assert planted_loads(unsafe) & {f"{n}.dll" for n in PLANTED}
    # ... the launcher, reporting a failure with a box and the same kind of page, does not.
    result = desk.launch(b"--pmr-no-splash", env=prefer, relay=LOADED_FROM_APP,
                         trace="+loaddll")
    assert result.exit_code == 1 and result.wait_urls(1) == [JAVA_URL]
    assert [box["caption"] for box in result.boxes] == [b"Error...", b"Vendro ERROR"]
    assert planted_loads(result) == {"vendro.exe"}
