"""Builds the 32-bit Vendro.exe and diagnostico-vendro.exe twice, from two copies of this tree in
two differently named temporary folders, one after the other, and fails unless each program's two
files are the same byte for byte; when they differ it names the PE header fields and sections
that do. It also fails when any file holds the name of the folder it was built in.

    /usr/bin/python3 tests/check_reproducible.py
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from check_product import pe_layout

ROOT = Path(__file__).resolve().parents[1]
PROGRAMS = ("Vendro", "diagnostico-vendro")
# What the product's build reads: the top CMakeLists.txt adds the doubles for Windows.
TREE = ["CMakeLists.txt", "cmake", "src", "res", "tests/doubles"]


def copy_tree(target: Path) -> None:
    for name in TREE:
        source = ROOT / name
        if source.is_dir():
            shutil.copytree(source, target / name, ignore=shutil.ignore_patterns("__pycache__"))
        else:
            target.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, target / name)


def build(source: Path, binary: Path) -> dict[str, bytes]:
    env = {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}
    for command in (["cmake", "-S", source, "-B", binary, "-G", "Ninja",
                     f"-DCMAKE_TOOLCHAIN_FILE={source}/cmake/mingw-i686.cmake",
                     "-DCMAKE_BUILD_TYPE=MinSizeRel"],
                    ["cmake", "--build", binary, "--target", *PROGRAMS]):
        run = subprocess.run(command, env=env, capture_output=True, text=True)
        if run.returncode:
            sys.exit(f"{' '.join(map(str, command))} failed:\n{run.stdout}{run.stderr}")
    return {name: (binary / f"{name}.exe").read_bytes() for name in PROGRAMS}


def regions(data: bytes) -> list[tuple[str, int, int]]:
    """(name, start, end) of the PE headers' fields that tell builds apart, and of each section's
    bytes in the file."""
    layout = pe_layout(data)
    found = [("COFF header time stamp", layout.pe + 8, layout.pe + 12),
             ("optional header checksum", layout.optional + 64, layout.optional + 68),
             ("headers", 0, layout.headers_end)]
    for name, _, _, raw_size, raw_pointer in layout.sections:
        found.append((f"section {name.rstrip(bytes(1)).decode()}", raw_pointer,
                      raw_pointer + raw_size))
    return found


def differing(first: bytes, second: bytes) -> list[str]:
    if len(first) != len(second):
        return [f"sizes {len(first)} and {len(second)}"]
    places = []
    for name, start, end in regions(first):
        count = sum(a != b for a, b in zip(first[start:end], second[start:end]))
        if count:
            places.append(f"{name}: {count} byte(s) differ")
    return places or ["bytes outside the headers and sections"]


def main() -> int:
    with tempfile.TemporaryDirectory(prefix="vendro-repro-") as temp:
        folders = [Path(temp) / "a" / "src", Path(temp) / "another-clone-folder" / "vendro"]
        files = []
        for folder in folders:
            started = time.monotonic()
            copy_tree(folder)
            files.append(build(folder, folder / "build" / "x86"))
            print(f"built in {folder} in {time.monotonic() - started:.0f} s")
        problems = []
        for folder, built in zip(folders, files):
            for name, data in built.items():
                for text in (str(folder), Path(temp).name):
                    if text.encode() in data or text.encode("utf-16-le") in data:
                        problems.append(f"{name}.exe built in {folder} holds the path {text}")
        for name in PROGRAMS:
            first, second = files[0][name], files[1][name]
            if first != second:
                problems += [f"the two builds of {name}.exe differ: " + place
                             for place in differing(first, second)]
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("the two builds are identical: " + ", ".join(
        f"{name}.exe {len(files[0][name])} bytes" for name in PROGRAMS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
