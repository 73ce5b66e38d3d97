"""Fails when the operator guide's catalogue misses something the launcher can write or show.

Read from the sources, so that a new line or text cannot ship undocumented:
- every string of src/launch/launch_settings.h (messages, captions, file names, registry keys,
  addresses) and every "--pmr-..." switch named there, and the version (CMakeLists.txt);
- every debug log format and every text written into a log line (logLine and fprintf in
  src/**);
- every predefined %NAME% reference of the variable substitution;
- every exit code the launcher returns itself.
Each must appear in a table row of the guide's catalogue section ("## ... Catálogo ..."), as a
code span holding exactly that text: log formats, texts in log lines, references and exit codes
as the first cell of their row (the row that explains them), settings in any cell. Texts are
compared as the program holds them (code page 1252); log formats keep the \\t and \\n notation,
as the guide writes them.

    /usr/bin/python3 tests/check_guide.py [GUIDE]
"""

from __future__ import annotations

import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
SRC = ROOT / "src"
GUIDE = ROOT / "docs" / "es" / "guia-operador.md"

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def c_text(literal: str) -> str:
    """A C string literal's text: escapes decoded (\\xF3 as code page 1252), except \\t and \\n,
    which stay as written."""
    def decode(match: re.Match) -> str:
        escape = match.group(1)
        if escape in ("t", "n"):
            return "\\" + escape
        if escape.startswith("x"):
            return bytes([int(escape[1:], 16)]).decode("cp1252")
        return escape  # \\ and \"

    return re.sub(r"\\(x[0-9A-Fa-f]{2}|.)", decode, literal)


def sources() -> dict[Path, str]:
    return {p: p.read_text(encoding="utf-8") for p in sorted(SRC.rglob("*.[ch]*"))}


def settings_texts(header: str) -> set[str]:
    texts = set()
    for match in re.finditer(r'constexpr const char\*\s+\w+\s*=\s*((?:"(?:[^"\\]|\\.)*"\s*)+);',
                             header):
        text = "".join(c_text(part) for part in LITERAL.findall(match.group(1))).strip()
        if text:
            texts.add(text)
    return texts | set(re.findall(r"--pmr-[a-z-]+", header))


def project_version() -> str:
    """The launcher's version, written only in project() of the top CMakeLists.txt."""
    found = re.search(r"^project\(Vendro VERSION ([0-9.]+)",
                      (ROOT / "CMakeLists.txt").read_text(encoding="utf-8"), re.M)
    if not found:
        sys.exit("CMakeLists.txt: no project(Vendro VERSION ...)")
    return found.group(1)


def log_texts(code: dict[Path, str]) -> tuple[set[str], set[str]]:
    """Formats of the log writes, and the literal texts written into them."""
    formats, values = set(), set()
    for text in code.values():
        for call in re.finditer(r"\b(?:fprintf|logLine)\((.*?)\);", text, re.S):
            literals = [c_text(t) for t in LITERAL.findall(call.group(1))]
            if literals:
                formats.add(literals[0].replace("%.*s", "%s"))  # a view prints as a text
                values.update(t for t in literals[1:] if t)
    return formats, values


def references(code: dict[Path, str]) -> set[str]:
    substitution = code[SRC / "cmdline" / "substitution.cpp"]
    return {f"%{name}%" for name in re.findall(r'\bname == "(\w+)"', substitution)}


def exit_codes(code: dict[Path, str]) -> set[str]:
    """What the process can end with by itself: WinMain's returns, exit() calls, the code handed
    back after the start of the Java program, and STILL_ACTIVE (259) while it runs."""
    codes = set()
    for path, text in code.items():
        codes.update(re.findall(r"\bexit\((\d+)\)", text))
        codes.update(re.findall(r"\bexitCode = (\d+);", text))
        if "STILL_ACTIVE" in text:
            codes.add("259")
    main = code[SRC / "launch" / "startup.cpp"].split("WinMain(", 1)[1]
    return codes | set(re.findall(r"\breturn (\d+);", main))


def catalogue_spans(guide: str) -> tuple[set[str], set[str]]:
    """Code spans in the table rows of the catalogue section: those that form a row's whole
    first cell, and all of them."""
    section = re.search(r"^## [^\n]*Catálogo[^\n]*\n(.*?)(?=^## |\Z)", guide, re.S | re.M)
    if not section:
        sys.exit(f"{GUIDE}: no section '## ... Catálogo ...'")
    rows = [line for line in section.group(1).splitlines() if line.startswith("|")]
    first = {m.group(1) for row in rows for m in [re.match(r"\| `([^`]+)` \|", row)] if m}
    return first, {span for row in rows for span in re.findall(r"`([^`]+)`", row)}


def main() -> int:
    guide_path = Path(sys.argv[1]) if len(sys.argv) > 1 else GUIDE
    code = sources()
    formats, values = log_texts(code)
    wanted = {
        "launcher setting": settings_texts(code[SRC / "launch" / "launch_settings.h"])
                            | {project_version()},
        "log line format": formats,
        "text in a log line": values,
        "predefined reference": references(code),
        "exit code": exit_codes(code),
    }
    floor = {"launcher setting": 20, "log line format": 20, "text in a log line": 4,
             "predefined reference": 5, "exit code": 4}
    first_cells, spans = catalogue_spans(guide_path.read_text(encoding="utf-8"))
    failed = False
    for kind, items in wanted.items():
        if len(items) < floor[kind]:  # the sources changed shape: this check must follow them
            print(f"only {len(items)} {kind}s found in the sources: {sorted(items)}")
            failed = True
        for item in sorted(items - (spans if kind == "launcher setting" else first_cells)):
            print(f"{guide_path}: catalogue lacks the {kind} `{item}`")
            failed = True
    total = sum(len(items) for items in wanted.values())
    print(f"{total} items checked, {'some missing' if failed else 'all in the catalogue'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
