#!/usr/bin/env bash
# Prepares the test virtual machine in DIR (default build/vm): Debian's kernel package,
# downloaded with apt and unpacked (not installed), and a busybox initramfs that loads
# virtio, 9p and mac80211_hwsim, mounts the host's root read-only over 9p and runs one
# command there. Needs qemu-system-x86 and busybox-static (scripts/install-deps.sh).
# Safe to run again: what is there is kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:-$here/../../build/vm}
mkdir -p "$dir"
cd "$dir"

if [ ! -f kernel/.unpacked ]; then
  package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
  [ -n "$package" ] || { echo "prepare.sh: no kernel package known to apt" >&2; exit 1; }
  rm -rf kernel ./*.deb
  # apt's sandbox user may not write here; the download then runs as the caller.
  apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
  deb=$(find . -maxdepth 1 -name 'linux-image-*.deb' | head -n1)
  [ -n "$deb" ] || { echo "prepare.sh: could not download $package" >&2; exit 1; }
  mkdir kernel
  dpkg-deb -x "$deb" kernel
  rm -f "$deb"
  # The guest loads what its drivers ask for (ciphers, say) with busybox's modprobe,
  # which reads this index.
  busybox depmod -b kernel "$(find kernel/lib/modules -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | head -n1)"
  touch kernel/.unpacked
fi
release=$(find kernel/lib/modules -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | head -n1)
ln -sf "kernel/boot/vmlinuz-$release" vmlinuz

if [ ! -f initramfs.cpio.gz ] || [ "$here/prepare.sh" -nt initramfs.cpio.gz ] ||
   [ "$here/init" -nt initramfs.cpio.gz ]; then
  modules=kernel/lib/modules/$release/kernel
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  mkdir -p "$stage"/{bin,proc,sys,dev,newroot,modules,lib}
  cp /bin/busybox "$stage/bin/busybox"
  cp "$here/init" "$stage/init"
  chmod 755 "$stage/init"
  # In load order: each module after the ones it needs.
  for m in drivers/virtio/virtio_ring drivers/virtio/virtio \
           drivers/virtio/virtio_pci_modern_dev drivers/virtio/virtio_pci_legacy_dev \
           drivers/virtio/virtio_pci net/9p/9pnet net/9p/9pnet_virtio fs/netfs/netfs \
           fs/fscache/fscache fs/9p/9p net/rfkill/rfkill net/wireless/cfg80211 \
           lib/crypto/libarc4 net/mac80211/mac80211 drivers/net/wireless/mac80211_hwsim; do
    cp "$modules/$m.ko" "$stage/modules/"
    basename "$m" >> "$stage/modules/order"
  done
  (cd "$stage" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 > initramfs.cpio.gz.new
  mv initramfs.cpio.gz.new initramfs.cpio.gz
fi
echo "$dir"
