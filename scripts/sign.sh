#!/usr/bin/env bash
# Signs a Windows executable with Authenticode (osslsigncode, SHA-256), or copies it unchanged
# when no certificate is given, and says which:
#
#     scripts/sign.sh IN.exe OUT.exe
#
# The certificate comes from the environment, never from the repository:
#   VENDRO_SIGN_PKCS12         PKCS#12 file (.p12/.pfx) with the certificate and its key
#   VENDRO_SIGN_PASSWORD_FILE  file holding the PKCS#12 password (read by osslsigncode itself:
#                              the password is never on a command line or printed)
#   VENDRO_SIGN_TIMESTAMP_URL  RFC 3161 time-stamping server; empty by default, since none can be
#                              reached from the build machines (see docs/maintainer.md)
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: scripts/sign.sh IN.exe OUT.exe" >&2; exit 2; }
in=$1 out=$2
pkcs12=${VENDRO_SIGN_PKCS12:-}
password_file=${VENDRO_SIGN_PASSWORD_FILE:-}
timestamp_url=${VENDRO_SIGN_TIMESTAMP_URL:-}

mkdir -p "$(dirname "$out")"
if [ -z "$pkcs12" ]; then
  cp "$in" "$out"
  echo "Not signed: no certificate given (VENDRO_SIGN_PKCS12, VENDRO_SIGN_PASSWORD_FILE)"
  exit 0
fi
[ -r "$pkcs12" ] || { echo "VENDRO_SIGN_PKCS12: cannot read $pkcs12" >&2; exit 1; }
[ -n "$password_file" ] && [ -r "$password_file" ] ||
  { echo "VENDRO_SIGN_PASSWORD_FILE: no readable password file given" >&2; exit 1; }

source "$(dirname "$0")/net.sh"
install_missing osslsigncode

args=(sign -pkcs12 "$pkcs12" -readpass "$password_file" -h sha256
  -n Vendro -i https://www.tramontel.es/ -in "$in" -out "$out.tmp")
[ -n "$timestamp_url" ] && args+=(-ts "$timestamp_url")
rm -f "$out.tmp"
# A time-stamping server that does not answer must not hold the release forever.
if ! timeout --kill-after=10 300 osslsigncode "${args[@]}" >"$out.log" 2>&1; then
  # osslsigncode's own messages name files and errors, never the password.
  cat "$out.log" >&2
  rm -f "$out.tmp" "$out.log"
  echo "Signing $in failed" >&2
  exit 1
fi
rm -f "$out.log"
mv "$out.tmp" "$out"
# The signer's name, for the message (verify itself fails where the chain is not trusted here).
signer=$( (osslsigncode verify -in "$out" 2>/dev/null || true) |
  sed -n 's/^[[:space:]]*Subject: //p' | head -1)
if [ -n "$timestamp_url" ]; then
  echo "Signed: $in (${signer:-unknown signer}, time-stamped by $timestamp_url)"
else
  echo "Signed: $in (${signer:-unknown signer}, no time stamp; see VENDRO_SIGN_TIMESTAMP_URL)"
fi
