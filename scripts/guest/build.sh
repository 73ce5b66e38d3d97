#!/usr/bin/env bash
# Builds, once, the Debian 12 guest that runs the end-to-end tests of the 32-bit Vendro.exe on
# machines whose kernel refuses 32-bit code: the guest's own kernel runs it, so real 32-bit Wine
# works there under full-system emulation. Everything lives under build/guest (never committed):
# the debootstrap tree, the guest's kernel and initrd, and a sparse disk image holding both Wine
# prefixes, made on the image's first boot. Quick and silent when the guest is already built.
set -euo pipefail
cd "$(dirname "$0")/../.."
guest=build/guest
# The guest is remade when this script or the guest's first process changes.
key=$(cat scripts/guest/build.sh scripts/guest/init.sh | sha256sum | cut -c1-16)
[ -f "$guest/image.done" ] && [ "$(cat "$guest/image.key" 2>/dev/null)" = "$key" ] && exit 0

export DEBIAN_FRONTEND=noninteractive
for package in qemu-system-x86 debootstrap e2fsprogs; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ -n "${missing[*]:-}" ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

started=$(date +%s)
rm -rf "$guest"
mkdir -p "$guest"
echo "guest: debootstrap (a few minutes)"
debootstrap --variant=minbase bookworm "$guest/rootfs" http://deb.debian.org/debian \
  >"$guest/debootstrap.log" 2>&1 || { tail -20 "$guest/debootstrap.log"; exit 1; }

# Packages go in through chroot inside a private mount namespace: the bind mounts vanish with it.
echo "guest: packages"
unshare --mount bash -euc '
  root=$1
  for fs in proc sys dev; do mount --rbind /$fs "$root/$fs"; done
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  chroot "$root" /bin/sh -euc "
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends linux-image-amd64 kmod \
      wine wine64 wine32:i386 xvfb python3 python3-pytest >/dev/null
    apt-get clean
  "
' _ "$guest/rootfs" >"$guest/packages.log" 2>&1 || { tail -20 "$guest/packages.log"; exit 1; }

cp scripts/guest/init.sh "$guest/rootfs/vendro-init"
chmod 755 "$guest/rootfs/vendro-init"
cp "$(ls "$guest"/rootfs/boot/vmlinuz-* | tail -1)" "$guest/vmlinuz"
cp "$(ls "$guest"/rootfs/boot/initrd.img-* | tail -1)" "$guest/initrd.img"

# About 10 GB stay free inside the image: Wine prefixes and a run's files need them.
echo "guest: disk image"
mkfs.ext4 -q -F -L vendro -d "$guest/rootfs" "$guest/disk.img" 16G
rm -rf "$guest/rootfs" # everything is in the image now

# First boot: make both prefixes inside the image, so that every test run starts from them.
echo "guest: first boot, making the Wine prefixes"
scripts/guest/run.sh --prepare
echo "$key" >"$guest/image.key"
echo "$(($(date +%s) - started))" >"$guest/image.done"
echo "guest: built in $(cat "$guest/image.done") s"
