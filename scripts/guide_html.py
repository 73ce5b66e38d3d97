"""Renders the operator guide (Markdown) to one HTML page for the release package, and copies the
pictures it shows into img/ beside the page.

    /usr/bin/python3 scripts/guide_html.py docs/es/guia-operador.md OUT/guia-operador.html
"""
import html
import re
import shutil
import sys
from pathlib import Path

import markdown  # Debian's python3-markdown

STYLE = """body { font-family: Segoe UI, Arial, sans-serif; max-width: 60em; margin: 2em auto;
  padding: 0 1em; line-height: 1.45; color: #222 }
table { border-collapse: collapse; margin: 1em 0 } th, td { border: 1px solid #bbb;
  padding: .3em .5em; vertical-align: top; text-align: left } th { background: #eee }
code, pre { font-family: Consolas, monospace; background: #f4f4f4 }
pre { padding: .6em; overflow-x: auto } img { max-width: 100% }"""


def main(source: Path, out: Path) -> int:
    text = source.read_text(encoding="utf-8")
    out.parent.mkdir(parents=True, exist_ok=True)
    (out.parent / "img").mkdir(exist_ok=True)

    def picture(match: re.Match) -> str:
        path = (source.parent / match.group(2)).resolve()
        if not path.is_file():
            sys.exit(f"{source}: picture {match.group(2)} not found")
        shutil.copyfile(path, out.parent / "img" / path.name)
        return f"![{match.group(1)}](img/{path.name})"

    text = re.sub(r"!\[([^\]]*)\]\(([^)\s]+)\)", picture, text)
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"],
                             output_format="html")
    title = html.escape(text.splitlines()[0].lstrip("# ").strip())
    out.write_text(f'<!DOCTYPE html>\n<html lang="es">\n<head>\n<meta charset="utf-8">\n'
                   f"<title>{title}</title>\n<style>\n{STYLE}\n</style>\n</head>\n<body>\n"
                   f"{body}\n</body>\n</html>\n", encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1]), Path(sys.argv[2])))
