#!/usr/bin/env bash
# The test command: installs what is missing, builds everything, runs every test (unit tests,
# fuzz replays, product and guide checks first, then the end-to-end tests of the real
# Vendro.exe under Wine, on the host and, where 32-bit code cannot run here, in the guest).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The emulated guest takes minutes to build, most of them waiting for downloads. When a full run
# will need it, it builds meanwhile at the lowest priority, and e2e_guest waits for it.
needs_guest() {
  [ -n "${VENDRO_E2E_GUEST:-}" ] || [ "${VENDRO_E2E_BUILD:-}" = x64 ] ||
    ! /usr/lib/wine/wine --version >/dev/null 2>&1
}
guest_build=""
if [ $# -eq 0 ] && needs_guest; then
  # Its first boot sets the Wine prefixes up with the 32-bit stand-ins: they are built first.
  cmake --preset x86 >/dev/null
  cmake --build --preset x86 >/dev/null
  echo "Building the emulated guest meanwhile (log: build/guest-build.log)"
  nice -n 19 scripts/guest/build.sh >build/guest-build.log 2>&1 &
  guest_build=$!
fi

scripts/build.sh
status=0
ctest --preset all "$@" || status=$?
if [ -n "$guest_build" ] && ! wait "$guest_build"; then
  echo "The guest's build in the background failed: build/guest-build.log" >&2
  tail -20 build/guest-build.log >&2
fi
exit "$status"
