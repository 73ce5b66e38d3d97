"""The desk diagnostic command (tools/diagnostico-vendro.cmd), run as a double click runs it: its
report says what the desk has, from a folder whose name cmd would take for commands, and tells
"could not read" from "absent". Its verdict is checked against the launcher's own choice on every
registry layout of test_runtime_discovery."""

from __future__ import annotations

import re

import pytest

import rig

HOSTILE = "C:\\Taquilla & Cine (1) 100% ^ !x \xf1\xe9\xdc"
JRE = "JavaSoft\\Java Runtime Environment"
JDK = "JavaSoft\\Java Development Kit"
IBM_JRE = "IBM\\Java2 Runtime Environment"
IBM_JDK = "IBM\\Java Development Kit"


def java_entries(section: str) -> dict[tuple[str, str], str]:
    """The Java section by (key, view): the text below each "--- key" line."""
    parts = re.split(r"^--- HKLM\\SOFTWARE\\(.+?)(?:   \[vista de (\d+) bits\])?\r$", section,
                     flags=re.M)
    return {(key, view or "una"): body.split("\r\n\r\n")[0].strip("\r\n")
            for key, view, body in zip(parts[1::3], parts[2::3], parts[3::3])}


def entry(version: str, kind: str, home: str, value_type: str, javaw: str, *fate: str) -> str:
    return "\r\n".join([f"    Versión {version}, {kind}", f"        JavaHome: {home}",
                        f"        Tipo del valor: {value_type}", f"        javaw.exe {javaw}"]
                       + [f"        {line}" for line in fate])


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_of_an_installed_desk(desk):
    """Oracle's 1.8 and 1.8.0_45 keys of one installation, a kit with a plain path stored as an
    expandable string, IBM keys (one with %SystemDrive% unexpanded) that are not looked at
    because JavaSoft gave a runtime, a 64-bit kit not looked at once a 32-bit one was accepted;
    the options, the log's last start, the Pelmorin variable."""
    for version in ("1.8", "1.8.0_45"):
        desk.add_runtime(version, home=r"C:\rt\jre8")
    desk.add_version_key(rig.RUNTIME_KEYS[("JavaSoft", "jdk")], "1.7.0_80", r"C:\rt\jdk7",
                         value_type="expand_sz")
    desk.copy_file(rig.DOUBLES / "javaw.exe", r"C:\rt\jdk7\jre\bin\javaw.exe")
    desk.add_runtime("1.7.0_80", home=r"C:\rt\ibm7", vendor="IBM", launcher=False)
    desk.add_version_key(rig.RUNTIME_KEYS[("IBM", "jdk")], "1.8.0", "%SystemDrive%\\rt\\jre8",
                         value_type="expand_sz")
    if desk.is64:
        desk.add_runtime("1.8.0_60", home=r"C:\rt\jdk8", kind="jdk", view=64)
    desk.apply_registry()
    desk.write_options(b"# memoria\r\n-Xmx512m\r\n")
    desk.add_file(r"C:\app\lib\ventas.jar", rig.EMPTY_JAR)
    last = (b'Version:\t3.8\r\nCheck launcher:\tC:\\T & C (1) 100% ^ !x\\bin\\javaw.exe (OK)\r\n'
            b'      "      :\tC:\\a & b\\x.jar\r\nLauncher args:\t-cp "a&b;c" x \r\n'
            b'Error:\t\tAccess denied.\r\n\r\nExit code:\t259\r\n')
    desk.add_file(r"C:\app\pelmorin.log", b"".join(
        b"\r\n\r\nVersion:\t3.7\r\nExit code:\t%d\r\n" % n for n in range(30)) + b"\r\n\r\n" + last)
    report = desk.diagnose(Pelmorin="debug")

    assert ("Windows de 64 bits." if desk.is64 else "una sola vista") in report["Windows"]
    assert re.search(r"^Cuenta: .+\\root\r$", report["Usuario y sesión"], re.M)
    java = java_entries(report["Java en el Registro de Windows"])
    views = ("32", "64") if desk.is64 else ("una",)
    assert list(java) == [(k, v) for k in (JDK, JRE, IBM_JDK, IBM_JRE) for v in views]
    jre8 = ("JRE", r"C:\rt\jre8", "REG_SZ", r"está: C:\rt\jre8\bin\javaw.exe")
    assert java[(JDK, views[0])] == entry(
        "1.7.0_80", "JDK", r"C:\rt\jdk7", "REG_EXPAND_SZ", r"está: C:\rt\jdk7\jre\bin\javaw.exe",
        "Vendro la acepta, pero después encuentra 1.8.0_45, mayor, y usa esa.")
    assert java[(JRE, views[0])] == "\r\n".join([
        entry("1.8", *jre8, "Vendro la acepta, pero después encuentra 1.8.0_45, mayor, y usa esa.",
              "Es la misma instalación que la que usará, la misma carpeta, con otro nombre de "
              "versión."),
        entry("1.8.0_45", *jre8, "Vendro la acepta, y es la que usará.")])
    ibm = ("    Vendro no mira aquí: las claves de IBM solo se miran si las de JavaSoft no dan "
           "ningún Java.")
    assert java[(IBM_JDK, views[0])] == ibm + "\r\n" + entry(
        "1.8.0", "JDK", "%SystemDrive%\\rt\\jre8", "REG_EXPAND_SZ",
        "NO ESTÁ: %SystemDrive%\\rt\\jre8\\jre\\bin\\javaw.exe", "Vendro no la mira.")
    assert "javaw.exe NO ESTÁ: C:\\rt\\ibm7\\bin\\javaw.exe" in java[(IBM_JRE, views[0])]
    summary = "Resumen: 5 versiones registradas, de 4 instalaciones distintas por su carpeta; " \
              "3 tienen javaw.exe."
    if desk.is64:
        assert java[(JDK, "64")].startswith("    Vendro no mira aquí: ya ha aceptado un Java "
                                            "de 32 bits, y entonces no mira la vista de 64 bits.")
        assert "Versión 1.8.0_60, JDK" in java[(JDK, "64")]
        assert java[(JRE, "64")].endswith("no existe")
        summary = summary.replace("5 v", "6 v").replace("4 i", "5 i").replace("3 t", "4 t")
    assert summary in report["Java en el Registro de Windows"]
    assert report["Qué Java usará Vendro"].strip().split("\r\n") == [
        "Vendro usará Java 1.8.0_45, de 32 bits.",
        "  De la clave HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment, vista de 32 bits.",
        "  Ejecutará C:\\rt\\jre8\\bin\\javaw.exe",
        "  Con la biblioteca SWT swt\\org.eclipse.swt.win32.win32.x86-4.4.jar, presente."]

    options = report["Fichero de opciones"]
    assert "Fichero: Vendro.pmr.ini\r\nTamaño: 21 bytes.\r\nCodificación: sin marca" in options
    assert "----------\r\n# memoria\r\n-Xmx512m\r\n\r\n----------" in options
    assert "ventas.jar" in report["Carpeta lib"]
    assert "Pelmorin=debug\r\n" in report["Variable Pelmorin"]
    # From the last start's Version: line on, its lines as written, the empty ones left out.
    shown = report["Log de depuración pelmorin.log"].split("----------\r\n")[1]
    assert shown == last.decode().replace("\r\n\r\n", "\r\n")
    for program in ("Vendro.exe", "javaw.exe", "wyUpdate.exe"):
        # Wine's tasklist lists nothing, so there the command says it cannot tell.
        assert re.search(rf"^{re.escape(program)}: (no está en marcha|en marcha, PID \d+|no se "
                         r"sabe; tasklist no ha dado la lista de programas)\r$",
                         report["Programas en marcha"], re.M)


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_of_a_bare_desk_from_a_hostile_folder(desk):
    """No Java at all, from a folder named with & % ^ ! ( ), blanks and code-page-1252 letters,
    without the updater and the lib folder, with options files of each mark and one that hidden
    extensions named Vendro.pmr.ini.txt."""
    desk.apply_registry()  # only the deletions: no Java keys in any view
    desk.add_product(HOSTILE + r"\Vendro.exe")
    options = {"Vendro": b"\xef\xbb\xbf-Xmx256m", "Otro": b"\xff\xfe-\x00X\x00",
               "Tercero": b"\xfe\xff\x00-\x00X"}
    for name, data in options.items():
        desk.add_file(f"{HOSTILE}\\{name}.pmr.ini", data)
    desk.add_file(HOSTILE + r"\Vendro.pmr.ini.txt", b"-Xmx256m")
    report = desk.diagnose(HOSTILE)

    assert report["Diagnóstico de Vendro"].count(f"Carpeta examinada: {HOSTILE}\r\n") == 1
    assert HOSTILE in report["Carpeta de Vendro"]
    java = report["Java en el Registro de Windows"]
    assert set(java_entries(java).values()) == {"    no existe"}, java
    assert "No se ha encontrado Java: ninguna de estas claves tiene versiones." in java
    assert report["Qué Java usará Vendro"].strip().split("\r\n")[:2] == [
        "Vendro no encontrará ningún Java que le sirva. Mostrará el mensaje",
        "  «Versión de Java no válida 1.7.0»"]
    files = dict(re.findall(r"^Fichero: (\w+)\.pmr\.ini\r\n(.*?)(?=^Fichero: |^ATENCIÓN|\Z)",
                            report["Fichero de opciones"], re.M | re.S))
    assert "UTF-8 con marca" in files["Vendro"] and "\r\nï»¿-Xmx256m\r\n" in files["Vendro"]
    for name, mark in (("Otro", "UTF-16 LE, empieza por los bytes FF FE"),
                       ("Tercero", "UTF-16 BE, empieza por los bytes FE FF")):
        assert f"Codificación: {mark}." in files[name]
        assert "Vendro no toma NINGUNA opción" in files[name] and "---" not in files[name]
    assert "ATENCIÓN: hay un Vendro.pmr.ini.txt, que Vendro no lee." \
        in report["Fichero de opciones"]
    assert "wyUpdate.exe: NO ESTÁ" in report["Carpeta de Vendro"]
    assert report["Carpeta lib"].strip() == "No existe la carpeta."
    assert "No hay pelmorin.log en la carpeta" in report["Log de depuración pelmorin.log"]


@pytest.mark.parametrize("desk", ["win64"], indirect=True)
def test_a_registry_it_cannot_read_is_not_a_desk_without_java(desk):
    """With reg.exe unable to run (as where a policy blocks it), the report says so for every key
    and view and cannot tell which runtime will be used, although one is installed."""
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.apply_registry()
    report = desk.diagnose(WINEDLLOVERRIDES="mscoree,mshtml=;reg.exe=d")
    java = report["Java en el Registro de Windows"]
    assert set(java_entries(java).values()) == {
        "    no se ha podido leer: reg no lee el Registro de Windows en esta vista."}
    assert "No se ha podido leer el Registro de Windows: no se sabe qué Java hay." in java
    assert "No se ha encontrado Java" not in java
    verdict = report["Qué Java usará Vendro"]
    assert verdict.lstrip().startswith("No se puede saber con seguridad qué Java usará Vendro:\r\n")
    assert "no quiere decir que no haya Java" in verdict and "Lo que dijo reg: " in verdict
