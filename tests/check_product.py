"""Checks the built Vendro.exe from outside with objdump: a 32-bit GUI program within its size
ceiling that imports exactly kernel32, advapi32 and msvcrt, with dynamic base and NX, an x86 manifest with Common
Controls 6, and carries the splash bitmap 131 in Spanish."""
import os
import re
import subprocess
import sys

# The loader resolves static imports, and the DLLs they pull in, before the launcher can limit
# the DLL search: any other DLL (user32, shell32, ole32) is loaded at run time from the system
# directory, so a static import coming back would reopen DLL planting.
IMPORTS = {"kernel32.dll", "advapi32.dll", "msvcrt.dll"}

# The shipped executable may not grow past this without someone deciding so here.
SIZE_CEILING = 64 * 1024


def resource_entries(dump):
    """(type, id, language) of every resource, read from objdump's resource directory tree,
    where the indentation of an entry tells its level."""
    entries, kind, name = set(), None, None
    for spaces, ident in re.findall(r"^[0-9a-f]+( +)Entry: ID: (?:0x)?([0-9a-f]+)", dump, re.M):
        value = int(ident, 16)
        level = (len(spaces) - 3) // 2
        if level == 0:
            kind = {2: "bitmap", 3: "icon", 16: "version", 24: "manifest"}.get(value, value)
        elif level == 1:
            name = value
        else:
            entries.add((kind, name, value))
    return entries


def manifest_text(exe):
    """The embedded manifest, found by its XML root (resources are stored uncompressed)."""
    data = open(exe, "rb").read()
    start, end = data.find(b"<assembly"), data.find(b"</assembly>")
    return data[start:end].decode("utf-8", "replace") if 0 <= start < end else ""


def main(exe):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], check=True,
                          capture_output=True, text=True).stdout
    problems = []
    size = os.path.getsize(exe)
    if size > SIZE_CEILING:
        problems.append(f"{size} bytes, more than the ceiling of {SIZE_CEILING}")
    if "file format pei-i386" not in dump:
        problems.append("not a PE i386 image")
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", dump, re.M):
        problems.append("not the Windows GUI subsystem")
    flags = re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)", dump, re.M)
    value = int(flags.group(1), 16) if flags else 0
    if not value & 0x40:
        problems.append("no dynamic base")
    if not value & 0x100:
        problems.append("no NX compatibility")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    if dlls != IMPORTS:
        problems.append("imports " + ", ".join(sorted(dlls)) + "; expected exactly "
                        + ", ".join(sorted(IMPORTS)))
    resources = resource_entries(dump)
    if ("bitmap", 131, 0x0C0A) not in resources:
        problems.append("no bitmap resource 131 in language 0x0c0a")
    if not any(kind == "manifest" for kind, _, _ in resources):
        problems.append("no manifest")
    manifest = manifest_text(exe)
    if 'processorArchitecture="x86"' not in manifest or "amd64" in manifest:
        problems.append("the manifest does not name the x86 processor alone")
    if 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' not in manifest:
        problems.append("the manifest does not ask for Common Controls 6")
    if not any(kind == "version" for kind, _, _ in resources):
        problems.append("no version information")
    if not any(kind == "icon" for kind, _, _ in resources):
        problems.append("no icon")
    for problem in problems:
        print(f"{exe}: {problem}")
    print("ok" if not problems else f"{len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
