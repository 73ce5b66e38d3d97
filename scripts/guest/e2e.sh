#!/usr/bin/env bash
# The end-to-end tests of the shipped 32-bit Vendro.exe in the emulated guest, where this
# machine's kernel refuses 32-bit code: builds the guest once (scripts/guest/build.sh) and runs
# the cases marked for it (VENDRO_E2E_SUBSET=guest), in both Windows prefixes. It ends with 77
# (skipped) only when the host's end-to-end run of this build already ran build/x86/Vendro.exe
# in both prefixes, as the rig recorded it; VENDRO_E2E_GUEST asks for the guest anyway.
#
#   VENDRO_E2E_GUEST=guest   the marked cases, even where the host's run covered the 32-bit build
#   VENDRO_E2E_GUEST=all     the whole suite (about three quarters of an hour)
set -euo pipefail
cd "$(dirname "$0")/../.."
x86=${VENDRO_X86_DIR:-build/x86}
record=build/e2e-host-run
wanted=${VENDRO_E2E_GUEST:-}
if [ -z "$wanted" ]; then
  if [ "$record" -nt "$x86/Vendro.exe" ] &&
    grep -qx "build=x86" "$record" &&
    grep -qx "product=$(realpath "$x86/Vendro.exe")" "$record" &&
    grep -qx "prefixes=win32 win64" "$record"; then
    echo "The host's end-to-end run tested $x86/Vendro.exe in both prefixes: skipped."
    exit 77
  fi
  echo "The host's run did not test $x86/Vendro.exe in both prefixes; the guest runs it. Host run:"
  cat "$record" 2>/dev/null || echo "(none recorded)"
  wanted=guest
fi
case "$wanted" in
  guest) subset=guest ;;
  all) subset="" ;;
  *) echo "VENDRO_E2E_GUEST must be guest or all, not '$wanted'" >&2; exit 2 ;;
esac
scripts/guest/build.sh
VENDRO_E2E_SUBSET=$subset scripts/guest/run.sh "$@"
