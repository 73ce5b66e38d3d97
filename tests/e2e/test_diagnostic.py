"""The desk diagnostic (diagnostico-vendro.exe), started from another folder as a shortcut or a
technician would: its report examines the folder the program sits in, judges each registry key as
the launcher does (it runs the launcher's own search), tells "could not read" from "absent", and
changes nothing. Its prediction of the Java command line and of the failure box is checked
against the launcher on every registry layout of test_runtime_discovery."""

import pytest

import rig

HOSTILE = "C:\\Taquilla & Cine (1) 100% ^ !x \xf1\xe9\xdc"
JRE = "HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment"
JDK = "HKLM\\SOFTWARE\\JavaSoft\\Java Development Kit"
IBM_JRE = "HKLM\\SOFTWARE\\IBM\\Java2 Runtime Environment"
IBM_JDK = "HKLM\\SOFTWARE\\IBM\\Java Development Kit"


def lines(section):
    return section.strip("\r\n").split("\r\n")


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_of_an_installed_desk(desk):
    """Oracle's 1.8 and 1.8.0_45 keys of one installation, a kit accepted and later replaced, IBM
    keys not looked at because JavaSoft gave a runtime, a 64-bit kit not looked at once a 32-bit
    one was accepted; the options, the log's last start, the Pelmorin variable."""
    for version in ("1.8", "1.8.0_45"):
        desk.add_runtime(version, home=r"C:\rt\jre8")
    desk.add_version_key(rig.RUNTIME_KEYS[("JavaSoft", "jdk")], "1.7.0_80", r"C:\rt\jdk7")
    desk.copy_file(rig.DOUBLES / "javaw.exe", r"C:\rt\jdk7\jre\bin\javaw.exe")
    desk.add_version_key(rig.RUNTIME_KEYS[("JavaSoft", "jre")], "1.6.0_45", r"C:\rt\jre6")
    desk.add_runtime("1.7.0_80", home=r"C:\rt\ibm7", vendor="IBM", launcher=False)
    if desk.is64:
        desk.add_runtime("1.8.0_60", home=r"C:\rt\jdk8", kind="jdk", view=64)
    desk.write_options(b"# memoria\r\n-Xmx512m -Dh=%JREHOMEDIR% -Do=%OLDPWD%\r\n")
    last = b"Version:\t3.8\r\nLauncher args:\t-cp \"a&b;c\" x \r\n\r\nExit code:\t259\r\n"
    desk.add_file(r"C:\app\pelmorin.log", b"\r\n\r\nVersion:\t3.7\r\nExit code:\t1\r\n"
                  b"\r\n\r\n" + last)
    report = desk.diagnose(env={"Pelmorin": "debug"})

    views = [" (vista de 32 bits)"] + ([" (vista de 64 bits)"] if desk.is64 else [])
    skip64 = "no se mira, porque ya tiene un Java de la vista de 32 bits, que prefiere"
    expected = [JDK + views[0] + ": se mira", r"  1.7.0_80: la acepta (C:\rt\jdk7\jre), pero "
                "después la cambia por una mayor"]
    expected += [JRE + views[0] + ": se mira",
                 r"  1.6.0_45: menor que la mínima, 1.7.0: no la usa",
                 r"  1.8: la acepta (C:\rt\jre8), pero después la cambia por una mayor",
                 r"  1.8.0_45: la acepta: C:\rt\jre8"]
    if desk.is64:
        expected += [JDK + views[1] + ": " + skip64, "  1.8.0_60: no se mira"]
    ibm = "no se mira, porque las claves de JavaSoft ya le han dado un Java"
    expected += [IBM_JRE + views[0] + ": " + ibm, "  1.7.0_80: no se mira"]
    assert lines(report["Java en el Registro, como lo busca Vendro"]) == expected
    assert lines(report["Qué Java usará Vendro"])[:2] == [
        "Vendro usará Java 1.8.0_45, de 32 bits.", r"Programa: C:\rt\jre8\bin\javaw.exe"]
    # %OLDPWD% is the folder, where a double click starts the launcher, wherever this ran from.
    command = lines(report["Qué ejecutaría Vendro"])[1]
    assert command.startswith(r'"C:\rt\jre8\bin\javaw.exe" -Dfile.encoding=UTF-8 -Xmx512m '
                              r"-Dh=C:\rt\jre8 -Do=C:\app -classpath ")
    options = report["Fichero de opciones"]
    assert "\r\n-Xmx512m -Dh=C:\\rt\\jre8 -Do=C:\\app \r\n" in options
    assert "Marca de orden de bytes: ninguna" in options
    assert last.decode() in report["Log de depuración"]
    assert "3.7" not in report["Log de depuración"]
    assert 'Nombre de instancia "Vendro": libre.' in report["Programas en marcha"]
    # Nothing claimed the instance: the launcher starts.
    assert desk.launch(b"--pmr-no-splash").exit_code == 0


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_from_a_hostile_folder_without_the_launcher(desk):
    """No Java, no Vendro.exe, a folder named with & % ^ ! ( ), blanks and code-page-1252
    letters, started from another folder; options files of each mark, and a Vendro.pmr.ini.txt
    left by hidden extensions."""
    desk.add_dir(HOSTILE)
    desk.add_file(HOSTILE + r"\Vendro.pmr.ini", b"\xff\xfe-\x00X\x00")
    desk.add_file(HOSTILE + r"\Otro.pmr.ini", b"\xef\xbb\xbf-Xmx256m")
    desk.add_file(HOSTILE + r"\Vendro.pmr.ini.txt", b"-Xmx256m")
    report = desk.diagnose(HOSTILE)

    assert report["No hay Vendro.exe en esta carpeta"].strip() == (
        f"El informe dice lo que haría uno puesto aquí: {HOSTILE}\\Vendro.exe")
    assert f"Carpeta examinada: {HOSTILE}\r\n" in report["Diagnóstico de Vendro"]
    assert lines(report["Vendro no arrancará Java"])[:4] == [
        "Un arranque mostraría este mensaje:", "  Título: Vendro ERROR", "  Texto:",
        "    Versión de Java no válida 1.7.0"]
    options = report["Fichero de opciones"]
    assert "Marca de orden de bytes: UTF-16" in options and "Vendro no toma ninguna" in options
    folder = report["Carpeta de Vendro"]
    assert "Otro.pmr.ini" in folder and "Vendro.pmr.ini.txt" in folder


@pytest.mark.parametrize("desk", ["win64"], indirect=True)
def test_a_key_it_cannot_read_is_not_an_absent_one(desk):
    """A runtime key whose access list lets nobody read it: the report quotes the registry's
    error and says that Java may be there, where an absent key is just absent."""
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.apply_registry()
    key = rig.RUNTIME_KEYS[("JavaSoft", "jre")]
    try:
        assert desk.wine([rig.PROBE, "lockkey", key, "32"]).returncode == 0
        report = desk.diagnose()
    finally:
        desk.kill_server()  # the server forgets the access list, and the key can go again
    search = lines(report["Java en el Registro, como lo busca Vendro"])
    assert search[0] == JDK + " (vista de 32 bits): no existe"
    assert search[2].startswith(JRE + " (vista de 32 bits): no se ha podido leer, error 5")
    assert "no quiere decir que no haya Java" in report["Vendro no arrancará Java"]


@pytest.mark.parametrize("desk", ["win64"], indirect=True)
def test_a_folder_name_outside_the_ansi_code_page_comes_first(desk):
    """A folder named with letters code page 1252 lacks: the launcher, an ANSI program, would get
    another path and find none of its files; the report says so before anything else. Started
    by Wine's loader (an ANSI command line cannot name the folder), it writes to the temporary
    folder Wine's registry gives."""
    folder = "C:\\Taquilla \u0141\u00f3d\u017a"
    exe = folder + "\\" + rig.DIAGNOSTIC.name
    desk.copy_file(rig.DIAGNOSTIC, exe)
    users = desk.unix(r"C:\users")
    for old in users.glob("*/**/diagnostico-vendro.txt"):
        old.unlink()
    desk.wine([exe, "/q"], product=True)
    [written] = users.glob("*/**/diagnostico-vendro.txt")
    text = written.read_bytes().decode("cp1252")
    assert "Carpeta examinada: C:\\Taquilla ?\u00f3d?\r\n" in text
    headings = [line for line in text.split("\r\n") if line.startswith("===== ")]
    assert headings[1] == "===== Vendro no puede arrancar desde esta carpeta ====="
