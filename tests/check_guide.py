"""Fails when the operator guide's catalogue and the launcher's code disagree, either way, and when
a guide states a limit the code does not have.

From code to guide, read from the sources, so that a new line or text cannot ship undocumented:
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

From guide to code: the first cell of every row of the catalogue's tables of log line formats
("| Formato |"), of texts in log lines ("| Texto |"), of references ("| Referencia |", the generic
`%NOMBRE%` aside) and of exit codes ("| Código |") must be one the code still has.

Limits, read from the code: the longest `Path` the launcher sets (src/cmdline/path_rule.h), the
command line it starts (quoted launcher, blank and arguments: the argument buffer of
src/launch/launch_state.h less its terminator), what is read of the options file (that buffer less
the room kept in src/cmdline/options_file.h (or .cpp) and the fixed Java option and blank
written before), and the splash timeout (the default of src/launch/splash_layout.cpp, in
one-second ticks; the splash is hidden on the tick after the last). README.md, the operator guide and docs/maintainer.md
must each state every one of them: a paragraph, list item or table row that names the limit's
subject and holds its number (for the splash, in the same unit: the seconds, and the tick it is
hidden on). A unit that names the subject with a near number (another of 32765 to 32768 for
`Path` and the command line, another 31xxx number for the options file) but not the right one
fails too.

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


def catalogue_tables(guide: str) -> dict[str, set[str]]:
    """First-cell code spans of the catalogue's tables, by the first word of their header."""
    section = re.search(r"^## [^\n]*Catálogo[^\n]*\n(.*?)(?=^## |\Z)", guide, re.S | re.M)
    tables: dict[str, set[str]] = {}
    header = None
    for line in (section.group(1) if section else "").splitlines():
        if not line.startswith("|"):
            header = None
            continue
        if header is None:
            header = line.strip("| ").split(" |")[0].strip()
            tables.setdefault(header, set())
            continue
        match = re.match(r"\| `([^`]+)` \|", line)
        if match:
            tables[header].add(match.group(1))
    return tables


# Catalogue tables whose rows name something of the code, by header, and what they name.
ROW_KINDS = {"Formato": "log line format", "Texto": "text in a log line",
             "Referencia": "predefined reference", "Código": "exit code"}
GENERIC_REFERENCE = "%NOMBRE%"  # the row for any environment variable


def limits(code: dict[Path, str]) -> dict[str, tuple[str, list[str], str]]:
    """Each limit: (subject pattern, numbers a unit must hold, pattern of near numbers)."""
    def number(path: str, pattern: str) -> int:
        """The number `pattern` reads from the first of the files `path` names (a space between
        two names) that holds a match."""
        for name in path.split():
            found = re.search(pattern, code.get(SRC / name, ""))
            if found:
                return int(found.group(1))
        sys.exit(f"{path}: no match for {pattern!r}: this check must follow the code")

    longest_path = number("cmdline/path_rule.h", r"constexpr size_t longestPath = (\d+);")
    args_size = number("launch/launch_state.h", r"constexpr size_t argsSize = (\d+);")
    kept = number("cmdline/options_file.h cmdline/options_file.cpp",
                  r"optionsReadLimit = argsSize - (\d+);")
    fixed = re.search(r'fixedJavaOption\s*=\s*"([^"]*)"', code[SRC / "launch" / "launch_settings.h"])
    options_read = args_size - kept - len(fixed.group(1)) - 1  # the option, then a blank
    splash = number("launch/splash_layout.cpp", r"value <= \d+ \? [^:]*: (\d+);")
    tick = code[SRC / "launch" / "splash.cpp"]
    if not re.search(r"splashSecondsLeft == 0\) \{\s*hideSplash\(\w*\);"
                     r".*--state\.splashSecondsLeft", tick, re.S):
        sys.exit("src/launch/splash.cpp: splashTick changed: this check must follow it")
    near = r"\b3276[5-8]\b"
    return {
        "Path": (r"`Path`|\bPath\b", [str(longest_path)], near),
        "command line": (r"command line|línea de órdenes", [str(args_size - 1)], near),
        "options file": (r"options file|fichero de opciones|Options file",
                         [str(options_read)], r"\b31\d{3}\b"),
        "splash timeout": (r"splash|presentación", [str(splash), str(splash + 1)], r"(?!)"),
    }


def units(text: str) -> list[str]:
    """Paragraphs, with each list item and table row a unit of its own; code blocks left out."""
    text = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)
    found = []
    for paragraph in re.split(r"\n\s*\n", text):
        current: list[str] = []
        for line in paragraph.splitlines():
            if re.match(r"\s*(\||- |\d+\. )", line) and current:
                found.append(" ".join(current))
                current = []
            current.append(line.strip())
        if current:
            found.append(" ".join(current))
    return found


def check_limits(code: dict[Path, str], docs: list[Path]) -> list[str]:
    problems = []
    for doc in docs:
        parts = units(doc.read_text(encoding="utf-8"))
        for name, (subject, numbers, near) in limits(code).items():
            about = [u for u in parts if re.search(subject, u)]
            def holds_all(unit: str) -> bool:
                return all(re.search(rf"(?<!\d){v}(?!\d)", unit) for v in numbers)
            if not any(holds_all(u) for u in about):
                problems.append(f"{doc}: states no {name} limit of {' and '.join(numbers)}")
            for unit in about:
                if re.search(near, unit) and not any(re.search(rf"(?<!\d){v}(?!\d)", unit)
                                                     for v in numbers):
                    problems.append(f"{doc}: {name} with another number than {numbers}: "
                                    f"{unit[:160]}")
    return problems


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
    tables = catalogue_tables(guide_path.read_text(encoding="utf-8"))
    for header, kind in ROW_KINDS.items():
        if header not in tables:
            print(f"{guide_path}: catalogue has no table headed '{header}'")
            failed = True
        extra = tables.get(header, set()) - wanted[kind] - {GENERIC_REFERENCE}
        for item in sorted(extra):
            print(f"{guide_path}: catalogue names the {kind} `{item}`, which the code lacks")
            failed = True
    docs = [ROOT / "README.md", guide_path, ROOT / "docs" / "maintainer.md"]
    for problem in check_limits(code, docs):
        print(problem)
        failed = True
    total = sum(len(items) for items in wanted.values())
    print(f"{total} items checked, {'some missing' if failed else 'all in the catalogue'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
