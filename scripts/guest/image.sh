# Where the guest's built image lives (sourced by the guest scripts, from the clone's root).
# It is kept outside the clone, in a cache folder named by a hash of what makes it, so that
# every clone on this machine, CI's included, reuses one build; a change to these scripts makes
# a new one. VENDRO_GUEST_CACHE moves the cache.
guest_cache=${VENDRO_GUEST_CACHE:-/var/cache/vendro-guest}
guest_key=$(cat scripts/guest/build.sh scripts/guest/init.sh scripts/guest/image.sh |
  sha256sum | cut -c1-16)
guest_image=$guest_cache/$guest_key # vmlinuz, initrd.img, disk.img, built (its build time)
guest_work=build/guest              # this clone's runs: the share, the console log
