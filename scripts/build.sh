#!/usr/bin/env bash
# Configures and builds both presets: the product and doubles for Windows, the native tests.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
cmake --preset x86 >/dev/null
cmake --build --preset x86
cmake --preset host >/dev/null
cmake --build --preset host
