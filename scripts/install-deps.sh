#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12. Idempotent: silent and
# quick when everything is already there.
set -euo pipefail
source "$(dirname "$0")/net.sh"

packages=(cmake ninja-build g++ clang-format libgtest-dev googletest mingw-w64
  wine wine64 wine32:i386 xvfb imagemagick x11-utils xdotool python3 python3-pytest
  clang-14 libclang-rt-14-dev # clang and libFuzzer for the fuzz targets
  osslsigncode openssl python3-markdown zip unzip) # the release command and its test

# wine32:i386 exists only once apt knows the architecture (install_missing then updates apt).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo dpkg --add-architecture i386
fi
install_missing "${packages[@]}"
