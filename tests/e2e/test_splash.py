"""The splash picture while Java starts, and how the launcher watches the Java process: it ends
on the first one-second tick after the Java program shows a visible window, after the Java
process ended, or when the splash times out."""

import time

import pytest

import rig
from expect import log_lines

TITLE = "Vendro - Taquilla"
# 256 x 256, centred on the 1920 x 1080 screen: left, top, right, bottom.
CENTRED = (832, 412, 1088, 668)
WS_EX_TOOLWINDOW = 0x80
SW_SHOWNOACTIVATE, SW_HIDE, SW_SHOWMAXIMIZED = 4, 0, 3


def splashes(desk):
    """Visible untitled static windows: the splash (nothing else on the desk looks like it)."""
    return [w for w in desk.windows() if w.cls == b"Static" and w.title == b"" and w.visible]


def traced(result, function):
    """The numeric arguments of each traced call of a user32 function."""
    return [[rig.relay_number(a) for a in args]
            for args in rig.relay_calls(result.relay, "user32." + function)]


def java_running(desk):
    return any(p.args.startswith(r"C:\rt\jre8\bin\javaw.exe") for p in desk.windows_processes())


@pytest.mark.parametrize("other, action, shows_after", [
    pytest.param(None, f"sleep:1500;window:{TITLE}", 1.5, marks=pytest.mark.guest),
    (None, f"hidden:Vendro oculta;sleep:4000;window:{TITLE}", 4.0),
    ("Otra ventana", f"sleep:4000;window:{TITLE}", 4.0),
], ids=["java window", "hidden java window first", "other process's window first"])
def test_launcher_ends_with_259_on_the_tick_after_the_java_window_shows(desk, other, action,
                                                                         shows_after):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    if other:
        desk.open_window(other)
    result = desk.launch(b"--pmr-debug", java_action=action)
    assert result.exit_code == 259
    assert log_lines(result.log)[-2:] == [b"Splash:\t\tJava window shown", b"Exit code:\t259"]
    # Not before the window showed; up to a second after it, plus the start of both programs.
    assert shows_after < result.elapsed < shows_after + rig.scaled(6)
    # The Java program runs on with its window; the splash has gone with the launcher.
    pid = int(result.java["pid"])
    assert [w.title for w in desk.windows() if w.pid == pid and w.visible] == [TITLE.encode()]
    assert splashes(desk) == []


@pytest.mark.guest
@pytest.mark.parametrize("action, code, logged, at_least", [
    ("exit:0", 0, b"0", 1.0),  # the first tick comes a second after the timer
    ("exit:1", 1, b"1", 1.0),
    ("sleep:2500;exit:3", 3, b"3", 2.5),
    ("exit:2147483648", 2147483648, b"-2147483648", 1.0),
    ("exit:4294967295", 4294967295, b"-1", 1.0),
])
def test_java_exit_before_any_window_becomes_the_exit_code(desk, action, code, logged,
                                                           at_least):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug", java_action=action)
    assert result.exit_code == code
    assert log_lines(result.log)[-2:] == [b"Splash:\t\tJava ended first",
                                          b"Exit code:\t" + logged]
    assert at_least <= result.elapsed < at_least + rig.scaled(6)
    assert result.boxes == []


@pytest.mark.parametrize("args, splash", [
    (b"--pmr-no-splash", False),
    (b"-a --pmr-no-splash -b", False),
    (b"x--pmr-no-splashes", False),
    (b"--PMR-NO-SPLASH", True),
    (b"--pmr-nosplash", True),
])
def test_no_splash_switch_anywhere_in_the_command_line(desk, args, splash):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    window_after = rig.scaled(3.0)
    result = desk.launch(b"--pmr-debug " + args,
                         java_action=f"sleep:{int(window_after * 1000)};window:{TITLE}")
    assert log_lines(result.log)[-1] == b"Exit code:\t%d" % result.exit_code
    if splash:
        assert result.exit_code == 259 and result.elapsed > window_after
    else:
        # Exit code 0 while Java still runs: the launcher left right after creating it.
        assert result.exit_code == 0 and result.elapsed < window_after
        assert java_running(desk)


@pytest.mark.parametrize("show", [
    pytest.param(None, marks=pytest.mark.guest), SW_SHOWNOACTIVATE,
    SW_SHOWMAXIMIZED])  # a shortcut's «Maximizada»: still at the picture's size
def test_splash_is_an_untitled_tool_window_centred_on_the_screen(desk, show):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    pending = desk.launch_in_background(
        b"", java_action=f"sleep:4000;window:{TITLE}", show=show,
        relay=r"user32\.(CreateWindowExA|LoadImageA|SetWindowPos|ShowWindow)\(")
    listings = []  # the splash windows listed, until there is one
    assert rig.wait_for(lambda: listings.append(splashes(desk)) or listings[-1],
                         rig.scaled(15), 0.1)
    result = pending.result()
    assert result.exit_code == 259
    [splash] = listings[-1]
    assert splash.pid == result.pid
    assert splash.rect == CENTRED
    # WS_POPUP | WS_VISIBLE | SS_BITMAP, and WS_CLIPSIBLINGS, which every top-level window gets.
    assert splash.style == 0x9400000E
    assert splash.exstyle == WS_EX_TOOLWINDOW

    # The calls as made: created hidden at (0, 0) with the default size, loaded picture 131,
    # moved to the top of the Z order keeping its size, then shown there whatever the start's
    # show mode.
    [create] = [args for args in rig.relay_calls(result.relay, "user32.CreateWindowExA")
                if args[1].endswith(' "STATIC"')]
    assert create[2].endswith(' ""')
    create = [rig.relay_number(a) for a in create]
    assert create[0] == WS_EX_TOOLWINDOW and create[3] == 0x8000000E
    assert create[4:10] == [0, 0, 0x80000000, 0x80000000, 0, 0]
    hwnd = splash.hwnd & 0xFFFFFFFF
    # IMAGE_BITMAP, its own size, LR_DEFAULTSIZE; HWND_TOP and SWP_NOSIZE.
    assert traced(result, "LoadImageA")[0][1:] == [131, 0, 0, 0, 0x40]
    # The control of Common Controls 6 first sizes itself to the picture, without moving.
    *own_sizing, placed, shown = traced(result, "SetWindowPos")
    assert placed == [hwnd, 0, 832, 412, 0, 0, 1]
    assert shown == [hwnd, 0, 0, 0, 0, 0, 0x43]  # SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW
    assert all(c[:6] == [hwnd, 0, 0, 0, 256, 256] and c[6] & 0x2 for c in own_sizing)
    assert [c for c in traced(result, "ShowWindow") if c[0] == hwnd] == [[hwnd, SW_HIDE]]


@pytest.mark.slow
def test_splash_times_out_on_tick_61_and_java_exit_code_259_counts_as_running(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    # No visible window ever; the process ends after 20 s, with the code meaning "still active".
    pending = desk.launch_in_background(
        b"--pmr-debug", java_action="hidden:Vendro oculta;sleep:20000;exit:259", timeout=120,
        relay=r"user32\.(EnumWindows|ShowWindow|KillTimer)\(")
    started = time.monotonic()
    # The Java program starts, and ends 20 s later with 259; the launcher counts it as running
    # and goes on waiting for a window until its 61st tick, which comes at least 61 s after now.
    assert rig.wait_for(lambda: java_running(desk), rig.scaled(20), 0.2)
    assert rig.wait_for(lambda: not java_running(desk), 20 + rig.scaled(10), 0.5)
    assert not rig.wait_for(pending.done, max(0.0, 58 - (time.monotonic() - started)), 0.5)
    assert len(splashes(desk)) == 1
    result = pending.result()
    assert result.exit_code == 259
    assert log_lines(result.log)[-2:] == [b"Splash:\t\ttimed out, no Java window",
                                          b"Exit code:\t259"]
    assert 60.5 < result.elapsed < 61 + rig.scaled(8)
    # The probe runs on ticks 1 to 60; tick 61 hides the splash and stops the timer.
    calls = [line.split("Call ", 1)[1].split("(")[0] for line in result.relay if "Call " in line]
    assert calls == ["user32.EnumWindows"] * 60 + ["user32.ShowWindow", "user32.KillTimer"]
    [hidden] = traced(result, "ShowWindow")
    assert hidden[1] == SW_HIDE
