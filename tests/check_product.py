"""Checks a built program, Vendro.exe or the desk diagnostic diagnostico-vendro.exe, from outside
with objdump: a 32-bit GUI program within its size ceiling that imports exactly kernel32,
advapi32 and msvcrt, with dynamic base and NX, an x86 manifest with Common Controls 6 that runs
asInvoker, an icon, and (the launcher) the splash bitmap 131 in Spanish. With --version (CMake's
project version), the version resource read from the file (numbers and strings) and the
manifest's assembly version must be that version.

    /usr/bin/python3 tests/check_product.py [--version 3.8] Vendro.exe
"""
import argparse
import os
import re
import struct
import subprocess
import sys
from typing import NamedTuple

# The loader resolves static imports, and the DLLs they pull in, before the launcher can limit
# the DLL search: any other DLL (user32, shell32, ole32) is loaded at run time from the system
# directory, so a static import coming back would reopen DLL planting.
IMPORTS = {"kernel32.dll", "advapi32.dll", "msvcrt.dll"}

# Per program: the size it may not grow past without someone deciding so here, whether it
# carries the splash, and its manifest's assembly name.
PROGRAMS = {
    "Vendro.exe": (64 * 1024, True, "Tramontel.Vendro"),
    "diagnostico-vendro.exe": (128 * 1024, False, "Tramontel.Vendro.Diagnostico"),
}


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


def _align4(offset):
    return (offset + 3) & ~3


def _version_blocks(data, pos, end):
    """The VS_VERSIONINFO tree as (key, type, value bytes, children), read from the bytes."""
    blocks = []
    while pos + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, pos)
        if length == 0:
            break
        key_end = pos + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[pos + 6:key_end].decode("utf-16-le")
        value_pos = _align4(key_end + 2)
        value_size = value_length * 2 if kind == 1 else value_length
        value = data[value_pos:value_pos + value_size]
        children = _version_blocks(data, _align4(value_pos + value_size), pos + length)
        blocks.append((key, kind, value, children))
        pos = _align4(pos + length)
    return blocks


class PeLayout(NamedTuple):
    pe: int  # offset of the "PE" signature; the COFF header follows it
    optional: int  # offset of the optional header
    headers_end: int  # end of the section table
    sections: list  # (name, virtual size, address, raw size, raw pointer) of each section


def pe_layout(data):
    """Where a PE file's headers are, and its section table."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    table = optional + optional_size
    sections = [struct.unpack_from("<8sIIII", data, table + 40 * i) for i in range(count)]
    return PeLayout(pe, optional, table + 40 * count, sections)


def version_resource(exe):
    """The version resource of a PE file, read from its resource directory: {"file": (3, 8, 0, 0),
    "product": (...), "strings": {"FileVersion": "3.8", ...}}, or None when there is none."""
    data = open(exe, "rb").read()
    layout = pe_layout(data)
    magic = struct.unpack_from("<H", data, layout.optional)[0]
    directories = layout.optional + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]

    def offset(rva):
        for _, virtual_size, address, raw_size, raw_pointer in layout.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    if not rsrc_rva:
        return None
    base = offset(rsrc_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        return [struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
                for i in range(named + ids)]

    found = [target for ident, target in entries(0) if ident == 16]
    if not found:
        return None
    node = found[0]
    while node & 0x80000000:  # name, then language: the first of each
        node = entries(node & 0x7FFFFFFF)[0][1]
    data_rva, size = struct.unpack_from("<II", data, base + node)
    start = offset(data_rva)
    resource = data[start:start + size]
    key, _, fixed, children = _version_blocks(resource, 0, len(resource))[0]
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        raise ValueError("malformed VS_VERSIONINFO")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)
    strings = {}
    for child_key, _, _, tables in children:
        if child_key == "StringFileInfo":
            for _, _, _, values in tables:
                for name, _, value, _ in values:
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    return {"file": (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
            "product": (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16,
                        product_ls & 0xFFFF),
            "strings": strings}


def program(exe):
    return PROGRAMS.get(os.path.basename(exe), PROGRAMS["Vendro.exe"])


def version_problems(exe, version):
    """How the version resource and the manifest differ from CMake's project version."""
    numbers = tuple(int(part) for part in version.split(".")) + (0, 0, 0)
    numbers = numbers[:4]
    info = version_resource(exe)
    if info is None:
        return ["no version resource"]
    problems = []
    for kind in ("file", "product"):
        if info[kind] != numbers:
            problems.append(f"{kind} version {'.'.join(map(str, info[kind]))} in the version "
                            f"resource, not {version}")
    for name in ("FileVersion", "ProductVersion"):
        if info["strings"].get(name) != version:
            problems.append(f"{name} string {info['strings'].get(name)!r}, not {version!r}")
    quad = ".".join(map(str, numbers))
    if f'name="{program(exe)[2]}" version="{quad}"' not in manifest_text(exe):
        problems.append(f"the manifest's assembly version is not {quad}")
    return problems


def main(exe, version=None):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], check=True,
                          capture_output=True, text=True).stdout
    problems = []
    ceiling, splash, _ = program(exe)
    size = os.path.getsize(exe)
    if size > ceiling:
        problems.append(f"{size} bytes, more than the ceiling of {ceiling}")
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
    if splash and ("bitmap", 131, 0x0C0A) not in resources:
        problems.append("no bitmap resource 131 in language 0x0c0a")
    if not any(kind == "manifest" for kind, _, _ in resources):
        problems.append("no manifest")
    manifest = manifest_text(exe)
    if 'processorArchitecture="x86"' not in manifest or "amd64" in manifest:
        problems.append("the manifest does not name the x86 processor alone")
    if 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' not in manifest:
        problems.append("the manifest does not ask for Common Controls 6")
    if 'requestedExecutionLevel level="asInvoker"' not in manifest:
        problems.append("the manifest does not run the program asInvoker")
    if not any(kind == "version" for kind, _, _ in resources):
        problems.append("no version information")
    if not any(kind == "icon" for kind, _, _ in resources):
        problems.append("no icon")
    if version is not None:
        problems += version_problems(exe, version)
        if not problems:
            print(f"version {version} in the version resource and the manifest")
    for problem in problems:
        print(f"{exe}: {problem}")
    print("ok" if not problems else f"{len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--version", help="the CMake project's version, e.g. 3.8")
    arguments = parser.parse_args()
    sys.exit(main(arguments.exe, arguments.version))
