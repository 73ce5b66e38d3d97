"""One copy of the application at a time: while the Java program of a first start runs, a new
start asks the updater, then starts nothing, brings the window whose title holds "Vendro" to the
front and ends with exit code 2."""

import pytest

import rig

TITLE = "Vendro - Taquilla"
CHECK = b'"C:\\app\\wyUpdate.exe" /quickcheck /justcheck'


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


@pytest.mark.parametrize("title, matches", [
    (TITLE, True),
    ("x" * 120 + "Vendro", True),  # its last letter is the 126th character of the title
    ("x" * 121 + "Vendro", False),  # beyond the 126 characters read
    ("vendro - taquilla", False),
    ("VENDRO", False),
], ids=["holds Vendro", "up to 126th", "beyond 126th", "lower case", "capitals"])
def test_only_a_title_with_vendro_in_its_first_126_characters_is_shown(desk, title, matches):
    first_start(desk, "window:Taquilla")
    other = desk.open_window(title, hidden=True)
    assert desk.launch().exit_code == 2
    [window] = [w for w in desk.windows() if w.pid == other and w.title == title.encode()]
    assert window.visible is matches and window.foreground is matches


def test_new_start_proceeds_once_the_java_program_has_ended(desk):
    first_start(desk, f"window:{TITLE};sleep:{int(rig.scaled(8) * 1000)};exit:0")
    # The first launcher has ended: the Java process alone keeps the application's name taken.
    assert desk.launch().exit_code == 2
    assert rig.wait_for(lambda: not any(p.args.startswith(r"C:\rt\jre8\bin\javaw.exe")
                                        for p in desk.windows_processes()), rig.scaled(20), 0.2)
    third = desk.launch(b"--pmr-no-splash", java_action="exit:0")
    assert third.exit_code == 0
    assert third.java is not None
