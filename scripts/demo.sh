#!/usr/bin/env bash
# The main job: builds Vendro.exe and shows it starting the demo box-office application under
# Wine, with the debug log on. Prints the log, the full exit code and the screenshot paths.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh >/dev/null
exec /usr/bin/python3 scripts/demo.py "$@"
