#!/usr/bin/env bash
# Configures and builds every preset: the product and doubles for Windows (32-bit, and the 64-bit
# test build), the native tests, the fuzz targets of the core.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
cmake --preset x86 >/dev/null
cmake --build --preset x86
# The 64-bit test build runs the end-to-end tests where the kernel cannot run 32-bit Wine.
cmake --preset x64 >/dev/null
cmake --build --preset x64
cmake --preset host >/dev/null
cmake --build --preset host
# The fuzz targets, whose committed corpora the tests replay.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
