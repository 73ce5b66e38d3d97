"""One copy of the application at a time: while the Java program of a first start runs, a new
start asks the updater, then starts nothing, brings the Java program's window whose title holds
"Vendro" to the front and ends with exit code 2."""

import time

import pytest

import rig
from expect import last_start

TITLE = "Vendro - Taquilla"
CHECK = b'"C:\\app\\wyUpdate.exe" /quickcheck /justcheck /noerr'
REFUSED = b"Error:\t\tInstance already exists."
NO_WINDOW = (b"Vendro", b"Vendro ya se est\xe1 ejecutando, pero no muestra ninguna ventana. Espera "
             b"un momento; si sigue sin aparecer, cierra javaw.exe en el Administrador de tareas o "
             b"cierra la sesi\xf3n de Windows y vuelve a entrar.")


def first_start(desk, action):
    """A first start whose Java program keeps running after its launcher has ended."""
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    first = desk.launch(java_action=action)
    assert first.exit_code == 259
    return int(first.java["pid"])


@pytest.mark.guest
def test_second_start_is_refused_and_brings_the_java_window_forward(desk):
    java = first_start(desk, f"window:{TITLE}")
    desk.open_window("Otra ventana")  # now in front of the Java program's window
    assert [w.title for w in desk.windows() if w.foreground] == [b"Otra ventana"]

    second = desk.launch(b"--pmr-debug")
    assert second.exit_code == 2
    assert second.log == (b"\r\n\r\nVersion:\t3.8\r\nCmdLine:\tC:\\app\\Vendro.exe --pmr-debug\r\n"
                          b"WOW64:\t\tyes\r\nError:\t\tInstance already exists.\r\n")
    assert second.updates == [CHECK]  # the update check comes before the refusal
    assert second.java is None
    assert second.boxes == [] and second.urls == []
    [front] = [w for w in desk.windows() if w.foreground]
    assert (front.pid, front.title) == (java, TITLE.encode())


@pytest.mark.parametrize("java, other, raised", [
    (f"window:{TITLE}", "Otra ventana", True),
    ("window:" + "x" * 120 + "Vendro", "Otra ventana", True),  # the 126th character of its title
    ("window:" + "x" * 121 + "Vendro", "Otra ventana", False),  # beyond the 126 characters read
    ("window:vendro - taquilla", "Otra ventana", False),
    ("window:VENDRO", "Otra ventana", False),
    (f"window:{TITLE};minimise", "Otra ventana", True),  # and restored
    # The installation folder open in Explorer, in front: titled like the product, not raised.
    (f"window:{TITLE}", "Vendro", True),
    ("window:Taquilla", "Vendro", False),
    # A hidden window of the Java program is no window the cashier works in.
    ("window:Taquilla;hidden:Vendro oculta", "Otra ventana", False),
], ids=["holds Vendro", "up to 126th", "beyond 126th", "lower case", "capitals", "minimised",
        "Explorer in front", "only Explorer's title", "hidden Java window"])
def test_only_the_java_programs_window_with_vendro_in_its_title_is_raised(desk, java, other,
                                                                         raised):
    java_pid = first_start(desk, java)
    other_pid = desk.open_window(other, program="explorer.exe")  # in front, and active
    assert desk.launch().exit_code == 2
    windows = desk.windows()
    [front] = [w for w in windows if w.foreground]
    assert front.pid == (java_pid if raised else other_pid)
    if raised:  # shown in its place, not left minimised
        assert not any(w.minimised for w in windows if w.pid == java_pid)
    assert not any(w.visible for w in windows if w.title == b"Vendro oculta")


@pytest.mark.parametrize("started", [False, True], ids=["alone", "a program it started runs on"])
def test_new_start_proceeds_once_the_java_program_has_ended(desk, started):
    # A program the Java program starts (with inheritance, as Runtime.exec does) and leaves
    # running, such as a PDF reader that printed a ticket, does not keep the name taken.
    held = rig.TEST_DIR + r"\held.tmp"
    program = f'start:"{rig.PROBE}" hold {held} {int(rig.scaled(120) * 1000)};' if started else ""
    first_start(desk, f"window:{TITLE};{program}sleep:{int(rig.scaled(8) * 1000)};exit:0")
    # The first launcher has ended: the Java process alone keeps the application's name taken.
    assert desk.launch().exit_code == 2
    assert rig.wait_for(lambda: not any(p.args.startswith(r"C:\rt\jre8\bin\javaw.exe")
                                        for p in desk.windows_processes()), rig.scaled(20), 0.2)
    if started:
        assert desk.read(held + ".held") is not None  # the program holds its file ...
    third = desk.launch(b"--pmr-no-splash", java_action="exit:0")
    assert third.exit_code == 0
    assert third.java is not None
    if started:  # ... and still runs
        assert any("probe.exe" in p.args and " hold " in p.args
                   for p in desk.windows_processes())


def test_name_held_by_another_account_refuses_the_start(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.start_stand_in("lockedmutex:Vendro")  # an elevated copy's or another account's mutex
    result = desk.launch(b"--pmr-debug")
    assert (result.exit_code, last_start(result.log)[-1]) == (2, REFUSED)
    assert result.java is None and result.boxes == []  # its holder has just started


def test_second_start_ends_while_the_minimised_application_hangs(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    first = desk.launch(java_action=f"window:{TITLE};minimise;hang:{int(rig.scaled(30) * 1000)}")
    assert first.exit_code == 259 and desk.launch().exit_code == 2
    assert b"woke=" not in desk.read(first.records.java)  # ended before the application woke


@pytest.mark.slow
def test_box_when_the_application_shows_no_window_and_is_not_starting(desk):
    def second_start(relay=None):
        result = desk.launch(b"--pmr-debug", relay=relay)
        assert result.exit_code == 2 and result.java is None
        return result, last_start(result.log)[-1], [
            (b["caption"], b["text"], b["pid"]) for b in result.boxes]

    # Another Java launcher, started first, shows a login dialog only after the box below.
    login = desk.start_stand_in(f"sleep:{int(rig.scaled(20) * 1000) + 61000};window:Iniciar")
    login_by = time.monotonic() + rig.scaled(30) + 61
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    assert desk.launch(b"--pmr-no-splash", java_action="hidden:Vendro oculta").exit_code == 0
    time_to_age = time.monotonic() + 61
    assert second_start()[1:] == (REFUSED, [])  # Java started under a minute ago: starting
    time.sleep(max(0.0, time_to_age - time.monotonic()))
    told, last, boxes = second_start(relay=r"user32\.MessageBoxA\(")
    assert (last, boxes) == (b"Instance:\trunning, no window shown", [NO_WINDOW + (told.pid,)])
    [box] = rig.relay_calls(told.relay, "user32.MessageBoxA")
    assert [rig.relay_number(box[i]) for i in (0, 3)] == [0, 0x40]  # MB_ICONINFORMATION
    assert not any(w.pid == login and w.visible for w in desk.windows())  # not shown yet
    assert rig.wait_for(lambda: any(w.pid == login and w.visible for w in desk.windows()),
                        login_by - time.monotonic(), 0.5)
    assert second_start()[1:] == (REFUSED, [])  # any window of a Java launcher counts
