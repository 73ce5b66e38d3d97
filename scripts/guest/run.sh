#!/usr/bin/env bash
# Runs the end-to-end tests of the 32-bit build (build/x86) inside the emulated guest, in both
# Windows prefixes, and fails when a test fails. One boot for the whole run; the guest's disk is
# used as a snapshot, so the run's writes are thrown away and every run starts from the prefixes
# made when the guest was built.
#
#   scripts/guest/run.sh [PYTEST ARGS]   the suite (VENDRO_E2E_SUBSET=guest: the marked cases)
#   scripts/guest/run.sh --prepare       first boot only: make the prefixes inside the image
#
# Results come back in build/guest/share: job.out (pytest's output) and junit.xml.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/guest/image.sh
image=${VENDRO_GUEST_IMAGE:-$guest_image} # the build gives the image it is making
share=$guest_work/share
x86=${VENDRO_X86_DIR:-build/x86}

prepare=0
if [ "${1:-}" = "--prepare" ]; then
  prepare=1
  shift
fi
[ -f "$image/disk.img" ] || { echo "guest not built: scripts/guest/build.sh" >&2; exit 2; }
[ -f "$x86/Vendro.exe" ] || { echo "no 32-bit build in $x86" >&2; exit 2; }

# What the guest needs of the tree: the end-to-end tests with the product check they read the
# version resource with, the 32-bit launcher, desk diagnostic and doubles.
rm -rf "$share"
mkdir -p "$share/tree/tests" "$share/tree/build/x86"
cp -r tests/e2e tests/check_product.py "$share/tree/tests/"
find "$share/tree/tests" -name __pycache__ -prune -exec rm -rf {} +
cp "$x86/Vendro.exe" "$x86/diagnostico-vendro.exe" "$share/tree/build/x86/"
cp -r "$x86/doubles" "$share/tree/build/x86/"
find "$share/tree/build/x86/doubles" -type f ! -name '*.exe' ! -name '*.dll' -delete

{
  echo 'set -e'
  echo 'mkdir -p /root/vendro/build'
  echo 'rm -rf /root/vendro/tests /root/vendro/build/x86'
  echo 'cp -r /share/tree/tests /root/vendro/'
  echo 'cp -r /share/tree/build/x86 /root/vendro/build/'
  echo 'cd /root/vendro'
  echo 'export VENDRO_E2E_BUILD=x86'
  printf 'export VENDRO_E2E_SUBSET=%q\n' "${VENDRO_E2E_SUBSET:-}"
  if [ "$prepare" = 1 ]; then
    # Setting a desk up makes its prefix; leaving ends its Windows processes.
    echo "python3 -c 'import sys; sys.path.insert(0, \"tests/e2e\"); import rig
with rig.Xvfb() as display:
    for name in (\"win64\", \"win32\"):
        with rig.open_desk(name, display):
            print(name, \"ready\")'"
  else
    printf 'exec python3 -m pytest -q -rs -p no:cacheprovider --junitxml=/share/junit.xml'
    printf ' %q' tests/e2e "$@"
    echo
  fi
} >"$share/job.sh"

# A kernel that runs 32-bit code needs full-system emulation here. SMAP stays off: with it,
# every 32-bit Wine process dies on its first return to user mode under this emulation.
snapshot=",snapshot=on"
[ "$prepare" = 1 ] && snapshot=""
started=$(date +%s)
status=0
timeout "${VENDRO_GUEST_TIMEOUT:-4800}" qemu-system-x86_64 \
  -accel tcg,thread=multi -cpu max,-smap -smp "$(nproc)" -m 3072 -nic none \
  -display none -monitor none -serial "file:$guest_work/console.log" -no-reboot \
  -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
  -append "root=/dev/vda rw console=ttyS0 init=/vendro-init quiet" \
  -drive "file=$image/disk.img,format=raw,if=virtio$snapshot" \
  -virtfs "local,path=$share,mount_tag=share,security_model=none,id=share" || status=$?
echo "guest: $(($(date +%s) - started)) s from boot to power-off"
[ -f "$share/job.out" ] && cat "$share/job.out"
if [ ! -f "$share/job.rc" ]; then
  echo "guest: the job did not finish (qemu exit status $status); console:" \
    "$guest_work/console.log" >&2
  tail -20 "$guest_work/console.log" >&2 || true
  exit 1
fi
exit "$(cat "$share/job.rc")"
