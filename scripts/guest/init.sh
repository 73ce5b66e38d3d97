#!/bin/sh
# The guest's first process: mounts what Wine needs and the host's share, runs the host's job
# (share/job.sh) and powers off. Output and exit status go back through the share.
# The initramfs has mounted /proc, /sys and /dev already; a boot without one has not.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs shm /dev/shm
mount -t tmpfs tmp /tmp
chmod 1777 /tmp
ip link set lo up 2>/dev/null || true
modprobe 9pnet_virtio
modprobe 9p
mkdir -p /share
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 share /share
export HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
/bin/sh /share/job.sh >/share/job.out 2>&1
echo $? >/share/job.rc
sync
umount /share
echo o >/proc/sysrq-trigger
sleep 60
