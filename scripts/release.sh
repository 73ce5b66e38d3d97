#!/usr/bin/env bash
# The release command: builds the 32-bit Vendro.exe and the desk diagnostic
# diagnostico-vendro.exe from this tree (byte for byte the same in any folder, at any time), signs
# both with Authenticode when a certificate is given (scripts/sign.sh: VENDRO_SIGN_PKCS12,
# VENDRO_SIGN_PASSWORD_FILE, VENDRO_SIGN_TIMESTAMP_URL), and writes dist/Vendro-<version>.zip:
# the two programs, an example options file Vendro.pmr.ini, the operator guide as HTML with its
# pictures, and SHA256SUMS.
# VENDRO_DIST_DIR writes the zip elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s%N)
source scripts/net.sh
install_missing cmake ninja-build mingw-w64 python3 python3-markdown zip

version=$(sed -n 's/^project(Vendro VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt's project()" >&2; exit 1; }
dist=${VENDRO_DIST_DIR:-dist}
zip_path="$dist/Vendro-$version.zip"

commit=$(git rev-parse --short HEAD 2>/dev/null || echo "no git")
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "Warning: the tree has uncommitted changes; this release is not commit $commit as it is" >&2
  commit="$commit+changes"
fi

mkdir -p build
cmake --preset x86 >/dev/null
cmake --build --preset x86 --target Vendro diagnostico-vendro >/dev/null
programs=(Vendro.exe diagnostico-vendro.exe)
# Each file must be the product: imports, manifest, resources, and the version resource equal to
# project()'s version.
for program in "${programs[@]}"; do
  if ! check=$(/usr/bin/python3 tests/check_product.py --version "$version" "build/x86/$program"); then
    echo "$check" >&2
    exit 1
  fi
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for program in "${programs[@]}"; do
  scripts/sign.sh "build/x86/$program" "$stage/$program"
done
# The options file is read as code page 1252 with Windows line ends: the example is ASCII, CR LF.
sed 's/\r*$/\r/' docs/es/Vendro.pmr.ini >"$stage/Vendro.pmr.ini"
/usr/bin/python3 scripts/guide_html.py docs/es/guia-operador.md "$stage/guia-operador.html"

# Checksums of every file, and times from the commit, so that the zip too depends on the commit
# alone (when unsigned: a signature carries its signing time).
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
  xargs sha256sum >SHA256SUMS)
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
find "$stage" -exec touch -h -d "@$epoch" {} +
mkdir -p "$dist"
zip_file=$(realpath "$dist")/Vendro-$version.zip
rm -f "$zip_file"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort |
  TZ=UTC zip -X -D -q -9 "$zip_file" -@)

elapsed=$((($(date +%s%N) - started) / 1000000))
echo "Vendro $version ($commit): $zip_path, $(stat -c %s "$zip_path") bytes, in $((elapsed / 1000)).$(printf %03d $((elapsed % 1000))) s"
grep -E ' (Vendro|diagnostico-vendro)\.exe$' "$stage/SHA256SUMS"
