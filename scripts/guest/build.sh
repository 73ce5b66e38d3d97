#!/usr/bin/env bash
# Builds, once, the Debian 12 guest that runs the end-to-end tests of the 32-bit Vendro.exe on
# machines whose kernel refuses 32-bit code: the guest's own kernel runs it, so real 32-bit Wine
# works there under full-system emulation. The guest's kernel, initrd and a sparse disk image
# holding both Wine prefixes (made on the image's first boot) go to the cache folder that
# scripts/guest/image.sh names, never into the clone. Quick and silent when it is built; a
# second build started meanwhile waits for the first one.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/guest/image.sh
source scripts/net.sh
[ -f "$guest_image/built" ] && exit 0
mkdir -p "$guest_cache"
exec 9>"$guest_cache/lock"
flock 9
[ -f "$guest_image/built" ] && exit 0

install_missing qemu-system-x86 debootstrap e2fsprogs

started=$(date +%s)
# Images of other versions of these scripts go: each takes several GB.
find "$guest_cache" -mindepth 1 -maxdepth 1 -type d -exec rm -rf {} +
building=$guest_image.part
mkdir -p "$building"
mirror=$(debian_mirror)
echo "guest: debootstrap from $mirror (a few minutes)"
# In a private mount namespace: the mounts of a try that is cut short vanish with it.
debootstrap_once() {
  rm -rf "$building/rootfs"
  unshare --mount debootstrap --variant=minbase bookworm "$building/rootfs" "$mirror" \
    >"$building/debootstrap.log" 2>&1
}
export building mirror
export -f debootstrap_once
bounded "debootstrap" 900 bash -c debootstrap_once || { tail -20 "$building/debootstrap.log"; exit 1; }

# Packages go in through chroot inside a private mount namespace: the bind mounts vanish with it.
echo "guest: packages"
packages_once() {
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
  ' _ "$building/rootfs" >>"$building/packages.log" 2>&1
}
export -f packages_once
bounded "the guest's packages" 1200 bash -c packages_once || { tail -20 "$building/packages.log"; exit 1; }

cp scripts/guest/init.sh "$building/rootfs/vendro-init"
chmod 755 "$building/rootfs/vendro-init"
cp "$(ls "$building"/rootfs/boot/vmlinuz-* | tail -1)" "$building/vmlinuz"
cp "$(ls "$building"/rootfs/boot/initrd.img-* | tail -1)" "$building/initrd.img"

# About 10 GB stay free inside the image: Wine prefixes and a run's files need them.
echo "guest: disk image"
mkfs.ext4 -q -F -L vendro -d "$building/rootfs" "$building/disk.img" 16G
rm -rf "$building/rootfs" # everything is in the image now

# First boot: make both prefixes inside the image, so that every test run starts from them.
echo "guest: first boot, making the Wine prefixes"
VENDRO_GUEST_IMAGE=$building scripts/guest/run.sh --prepare
echo "$(($(date +%s) - started))" >"$building/built"
mv "$building" "$guest_image"
echo "guest: built in $(cat "$guest_image/built") s, in $guest_image"
