#!/usr/bin/env bash
# Benchmark of the launcher's start under Wine: builds the launcher and the stand-ins, runs every
# measurement in one go and writes docs/performance.md and docs/performance.svg. Takes about 20
# minutes on a 2-core machine. Arguments go to scripts/bench.py (e.g. --runs 30).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The plot's library is needed here only, not by the tests.
if ! dpkg -s python3-matplotlib >/dev/null 2>&1; then
  echo "Installing: python3-matplotlib"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends python3-matplotlib >/dev/null
fi
mkdir -p build
cmake --preset x86 >/dev/null
cmake --build --preset x86 >/dev/null
# Where the kernel runs no 32-bit code the rig times the 64-bit test build instead.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  cmake --preset x64 >/dev/null
  cmake --build --preset x64 >/dev/null
fi
exec /usr/bin/python3 scripts/bench.py "$@"
