"""The desk diagnostic command (tools/diagnostico-vendro.cmd), run by Windows' own cmd from the
application folder: its report holds every section, with what the desk really has, and the
command changes nothing in the folder it examines."""

from __future__ import annotations

import re

import pytest

import rig

SCRIPT = rig.ROOT / "tools" / "diagnostico-vendro.cmd"
NAME = "diagnostico-vendro.cmd"
HOSTILE = "C:\\Taquilla \xf1\xe9\u20ac Uno"
SECTIONS = ("Windows", "Java en el Registro de Windows", "Fichero de opciones",
            "Carpeta de Vendro", "Carpeta lib", "Carpeta swt", "Variable Pelmorin",
            "Log de depuracion pelmorin.log", "Programas en marcha")


def run_diagnostic(desk: rig.Desk, folder: str, **environment: str) -> dict[str, str]:
    """Runs the command from `folder`; returns the report's sections by title (text as the
    report holds it, code page 1252), after checking that the folder was left as it was."""
    desk.copy_file(SCRIPT, folder + "\\" + NAME)
    before = desk.snapshot(folder)
    # A double click runs it with the system's own cmd: the 64-bit one on 64-bit Windows (under
    # Wine a 32-bit reg.exe does not reach the registry's 64-bit view, as Windows' does).
    done = desk.wine(["cmd", "/c", folder + "\\" + NAME, "/q"], timeout=120,
                     environment=environment, loader=desk.system_loader)
    out = done.stdout.decode("cp1252")
    found = re.search(r"Informe escrito en:\r?\n +(.+?)\r?\n", out)
    assert found, out
    report = desk.read(found.group(1))
    assert report is not None, found.group(1)
    assert desk.snapshot(folder) == before
    text = report.decode("cp1252")
    assert text.endswith("===== Fin del diagnostico =====\r\n"), text[-500:]
    parts = re.split(r"^===== (.+?) =====\r$", text, flags=re.M)
    sections = dict(zip(parts[1::2], parts[2::2]))
    assert list(sections)[1:-1] == list(SECTIONS), list(sections)
    return sections


def java_entries(section: str) -> dict[tuple[str, str], str]:
    """The Java section by (key, view): the text below each "--- key" line."""
    parts = re.split(r"^--- HKLM\\SOFTWARE\\(.+?)(?:   \[vista de (\d+) bits\])?\r$", section,
                     flags=re.M)
    return {(key, view or "una"): body.split("\r\n\r\n")[0] + "\r\n"
            for key, view, body in zip(parts[1::3], parts[2::3], parts[3::3])}


JRE = "JavaSoft\\Java Runtime Environment"
JDK = "JavaSoft\\Java Development Kit"
IBM_JRE = "IBM\\Java2 Runtime Environment"


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_of_an_installed_desk(desk):
    """Runtimes in each view (one with its javaw.exe gone, one with a JavaHome of a type the
    launcher rejects), options file, jars, the debug log and the Pelmorin variable: each shows
    in its section as the desk has it."""
    desk.add_runtime("1.8.0_45", home=r"C:\rt\jre8")
    desk.add_runtime("1.7.0_80", home=r"C:\rt\ibm7", vendor="IBM", launcher=False)
    # A value type the launcher does not take, though javaw.exe is where it points.
    desk.add_version_key(rig.RUNTIME_KEYS[("IBM", "jdk")], "1.8.0", "%SystemDrive%\\rt\\jre8",
                         value_type="expand_sz")
    if desk.is64:
        desk.add_runtime("1.8.0_60", home=r"C:\rt\jdk8", kind="jdk", view=64)
    desk.apply_registry()
    desk.write_options(b"# memoria\r\n-Xmx512m\r\n")
    desk.add_file(r"C:\app\lib\ventas.jar", rig.EMPTY_JAR)
    desk.add_file(r"C:\app\pelmorin.log",
                  b"".join(b"\r\n\r\nVersion:\t3.8\r\nExit code:\t%d\r\n" % n for n in range(30)))
    report = run_diagnostic(desk, rig.APP, Pelmorin="debug")

    windows = report["Windows"]
    if desk.is64:
        assert "PROCESSOR_ARCHITECTURE=AMD64" in windows
        assert "Windows de 64 bits." in windows
    else:
        assert "PROCESSOR_ARCHITECTURE=x86" in windows
        assert "Windows de 32 bits." in windows and "una sola vista" in windows
    assert re.search(r"Windows .*\d+\.\d+", windows), windows

    java = java_entries(report["Java en el Registro de Windows"])
    views = ("32", "64") if desk.is64 else ("una",)
    keys = [JDK, JRE, "IBM\\Java Development Kit", IBM_JRE]
    assert list(java) == [(k, v) for k in keys for v in views]
    assert "Version 1.8.0_45, JRE\r\n        JavaHome: C:\\rt\\jre8\r\n" \
        "        Tipo del valor: REG_SZ\r\n        javaw.exe: encontrado\r\n" \
        "        C:\\rt\\jre8\\bin\\javaw.exe\r\n" in java[(JRE, views[0])]
    assert "Version 1.7.0_80, JRE\r\n        JavaHome: C:\\rt\\ibm7\r\n" in java[(IBM_JRE, views[0])]
    assert "javaw.exe: NO ENCONTRADO\r\n        C:\\rt\\ibm7\\bin\\javaw.exe\r\n" \
        in java[(IBM_JRE, views[0])]
    assert "Version 1.8.0, JDK\r\n        JavaHome: %SystemDrive%\\rt\\jre8\r\n" \
        "        Tipo del valor: REG_EXPAND_SZ\r\n        Vendro no acepta un JavaHome de tipo " \
        "REG_EXPAND_SZ: descarta esta version\r\n" in java[("IBM\\Java Development Kit", views[0])]
    if desk.is64:
        assert "Version 1.8.0_60, JDK\r\n        JavaHome: C:\\rt\\jdk8\r\n" in java[(JDK, "64")]
        assert "javaw.exe: encontrado\r\n        C:\\rt\\jdk8\\jre\\bin\\javaw.exe" \
            in java[(JDK, "64")]
        assert java[(JDK, "32")].strip() == java[(JRE, "64")].strip() == "no existe"
        assert "Resumen: 4 versiones de Java registradas, 2 con javaw.exe." \
            in report["Java en el Registro de Windows"]
    else:
        assert java[(JDK, "una")].strip() == "no existe"
        assert "Resumen: 3 versiones de Java registradas, 1 con javaw.exe." \
            in report["Java en el Registro de Windows"]
    assert "No se ha encontrado Java" not in report["Java en el Registro de Windows"]

    options = report["Fichero de opciones"]
    assert "C:\\app\\Vendro.pmr.ini\r\nTamano: 21 bytes." in options
    assert "# memoria\r\n-Xmx512m\r\n" in options
    assert "Vendro.exe: presente" in report["Carpeta de Vendro"]
    assert "wyUpdate.exe: presente" in report["Carpeta de Vendro"]
    assert "ventas.jar" in report["Carpeta lib"]
    assert all(jar in report["Carpeta swt"] for jar in rig.SWT_JARS)
    assert "Pelmorin=debug\r\n" in report["Variable Pelmorin"]

    log = report["Log de depuracion pelmorin.log"]
    shown = re.findall(r"^(Version:\t3\.8|Exit code:\t\d+)\r$", log, re.M)
    lines = [line for n in range(30) for line in ("Version:\t3.8", f"Exit code:\t{n}")]
    # The end of the log, at least its last 40 lines that are not empty; the empty lines are
    # left out, and those among the skipped ones may bring in a few more.
    assert 40 <= len(shown) < len(lines) and shown == lines[-len(shown):], shown

    running = report["Programas en marcha"]
    for program in ("Vendro.exe", "javaw.exe"):
        # Wine's tasklist lists nothing, so there the command says it cannot tell.
        assert re.search(rf"^{re.escape(program)}: (no esta en marcha|en marcha, PID \d+|no se "
                         r"sabe; tasklist no ha dado la lista de programas)\r$", running, re.M)


@pytest.mark.parametrize("desk", ["win64", "win32"], indirect=True)
def test_report_of_a_bare_desk_from_a_hostile_folder(desk):
    """No Java at all, from a folder with blanks and code-page-1252 letters that lacks the
    updater and the lib folder: a clear "no Java found" section, and every section still
    there with what is missing."""
    desk.apply_registry()  # only the deletions: no Java keys in any view
    desk.add_product(HOSTILE + r"\Vendro.exe")
    for jar in rig.SWT_JARS:
        desk.add_file(HOSTILE + r"\swt" + "\\" + jar, rig.EMPTY_JAR)
    desk.write_options(b"-Xmx256m", exe=HOSTILE + r"\Vendro.exe")
    report = run_diagnostic(desk, HOSTILE)

    assert report["Diagnostico de Vendro"].count(f"Carpeta examinada: {HOSTILE}\\\r\n") == 1
    java = report["Java en el Registro de Windows"]
    assert {body.strip() for body in java_entries(java).values()} == {"no existe"}, java
    assert "No se ha encontrado Java: ninguna de estas claves tiene versiones." in java
    assert 'Vendro mostrara "Version de Java no valida 1.7.0"' in java
    assert f"{HOSTILE}\\Vendro.pmr.ini\r\nTamano: 8 bytes." in report["Fichero de opciones"]
    assert "-Xmx256m" in report["Fichero de opciones"]
    assert "wyUpdate.exe: NO ESTA" in report["Carpeta de Vendro"]
    assert report["Carpeta lib"].strip() == "No existe la carpeta."
    assert all(jar in report["Carpeta swt"] for jar in rig.SWT_JARS)
    assert "La variable Pelmorin no esta definida" in report["Variable Pelmorin"]
    assert "No hay pelmorin.log en la carpeta" in report["Log de depuracion pelmorin.log"]
