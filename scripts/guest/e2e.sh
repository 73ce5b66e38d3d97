#!/usr/bin/env bash
# The end-to-end tests of the shipped 32-bit Vendro.exe where this machine's kernel refuses
# 32-bit code: builds the emulated guest once (scripts/guest/build.sh) and runs the tests in it,
# in both Windows prefixes. Where 32-bit Wine runs natively the host's end-to-end run already
# covers the 32-bit build, and this ends with 77 (skipped), unless VENDRO_E2E_GUEST asks for it.
#
#   VENDRO_E2E_GUEST=first-case   in the guest even here: every behaviour once per prefix
#   VENDRO_E2E_GUEST=all          in the guest, the whole suite (about three quarters of an hour)
set -euo pipefail
cd "$(dirname "$0")/../.."
wanted=${VENDRO_E2E_GUEST:-}
if [ -z "$wanted" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "32-bit Wine runs natively here: the host's end-to-end run tested build/x86."
    exit 77
  fi
  wanted=first-case
fi
case "$wanted" in
  first-case) subset=first-case ;;
  all) subset="" ;;
  *) echo "VENDRO_E2E_GUEST must be first-case or all, not '$wanted'" >&2; exit 2 ;;
esac
scripts/guest/build.sh
VENDRO_E2E_SUBSET=$subset scripts/guest/run.sh "$@"
