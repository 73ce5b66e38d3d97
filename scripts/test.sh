#!/usr/bin/env bash
# The test command: installs what is missing, builds everything, runs every test (unit tests,
# product checks, end-to-end tests of the real Vendro.exe under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --preset all "$@"
