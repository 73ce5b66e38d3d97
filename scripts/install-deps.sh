#!/usr/bin/env bash
# Installs what building and testing the launcher needs on Debian 12. Idempotent: silent and
# quick when everything is already there.
set -euo pipefail

packages=(cmake ninja-build g++ clang-format libgtest-dev googletest mingw-w64
  wine wine64 wine32:i386 xvfb imagemagick x11-utils xdotool python3 python3-pytest
  clang-14 libclang-rt-14-dev # clang and libFuzzer for the fuzz targets
  osslsigncode openssl python3-markdown zip unzip) # the release command and its test

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
source "$(dirname "$0")/net.sh"
bounded "apt-get update" 300 $sudo apt-get update -qq
bounded "installing ${missing[*]}" 1500 \
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
