"""Every start first runs the updater beside the launcher with "/quickcheck /justcheck"; its
exit code 2 means an update is available and is offered, and OK hands over to the updater."""

import pytest

import rig

CHECK = b'"C:\\app\\wyUpdate.exe" /quickcheck /justcheck /noerr'
OFFER = (b"Actualizaci\xf3n", b"Hay una actualizaci\xf3n disponible. Pulsa OK para instalarla.")
UPDATER_ERROR = (b"Error...", b"Error al actualizar la aplicaci\xf3n (wyUpdate).")
BOXES = r"(user32\.MessageBoxA|shell32\.ShellExecuteExA)\("


def boxes(result):
    """(caption, text, has OK, has Cancel) of each box, all of them the launcher's."""
    assert all(box["pid"] == result.pid for box in result.boxes), result.boxes
    return [(b["caption"], b["text"], b["ok"], b["cancel"]) for b in result.boxes]


@pytest.mark.parametrize("update_exit, sleep", [
    ("0", "0"), ("1", "0"), ("3", "0"), ("259", "0"), ("4294967295", "0"), ("2", "0"),
    ("2", "60000"),  # answered past the check's time limit: no update
])
def test_only_exit_code_2_offers_an_update_and_cancel_starts_the_application(desk,
                                                                             update_exit, sleep):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-no-splash", update_exit=update_exit, answers="cancel",
                         env={"FAKEUPDATE_SLEEP": sleep})
    assert result.updates == [CHECK]
    assert boxes(result) == ([OFFER + (True, True)] if (update_exit, sleep) == ("2", "0") else [])
    assert result.exit_code == 0
    assert result.java is not None
    assert any("wyUpdate.exe /quickcheck" in p.args for p in desk.windows_processes()) == (
        sleep != "0")  # a late check is left running


@pytest.mark.guest
def test_accepted_update_hands_over_to_the_updater_and_ends_with_1(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    result = desk.launch(b"--pmr-debug", update_exit="2", answers="ok", relay=BOXES)
    assert result.exit_code == 1
    assert boxes(result) == [OFFER + (True, True)]
    check, install = result.wait_updates(2)
    assert check == CHECK
    assert rig.split_args(install) == [b"C:\\app\\wyUpdate.exe"]  # no arguments: install
    assert result.log is None  # nothing else ran: no log, no Java process
    assert result.java is None
    # No owner; OK and Cancel, information icon, topmost. Then once through the shell (its
    # request is a structure the trace does not show; the install record above shows the start).
    [offer] = rig.relay_calls(result.relay, "user32.MessageBoxA")
    assert rig.relay_number(offer[0]) == 0 and rig.relay_number(offer[3]) == 0x40041
    assert len(rig.relay_calls(result.relay, "shell32.ShellExecuteExA")) == 1


def test_accepted_update_whose_updater_is_gone_is_reported_and_the_start_goes_on(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    # The check run takes the updater's file away as it ends: the install run cannot start.
    result = desk.launch(b"--pmr-no-splash", update_exit="2", answers="ok",
                         env={"FAKEUPDATE_VANISH": "1"})
    assert boxes(result) == [OFFER + (True, True), UPDATER_ERROR + (True, False)]
    assert (result.exit_code, result.updates) == (0, [CHECK]) and result.java is not None


def test_missing_updater_shows_its_error_on_every_start_and_the_start_goes_on(desk):
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.remove(r"C:\app\wyUpdate.exe")
    first = desk.launch(b"--pmr-no-splash", relay=BOXES)
    second = desk.launch(b"--pmr-no-splash")
    for result in (first, second):
        assert boxes(result) == [UPDATER_ERROR + (True, False)]
        assert result.exit_code == 0
        assert result.java is not None
    [error] = rig.relay_calls(first.relay, "user32.MessageBoxA")
    assert rig.relay_number(error[0]) == 0 and rig.relay_number(error[3]) == 0  # MB_OK


def test_check_line_of_a_long_launcher_folder_is_not_cut(desk):
    # The longest folder from which the updater can be started (its path then has 259 bytes):
    # the check line is 291 bytes long, more than a path.
    folder = "C:\\" + "\\".join(["d" * 100, "d" * 100, "d" * 41])
    assert len(folder) == 246
    desk.add_product(folder + r"\Vendro.exe")
    desk.copy_file(rig.DOUBLES / "wyUpdate.exe", folder + r"\wyUpdate.exe")
    result = desk.launch(b"--pmr-no-splash", exe=folder + r"\Vendro.exe", answers="ok")
    assert result.updates == [b'"%s\\wyUpdate.exe" /quickcheck /justcheck /noerr' % folder.encode()]
    assert UPDATER_ERROR[0] not in [box["caption"] for box in result.boxes]
