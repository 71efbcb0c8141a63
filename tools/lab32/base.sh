#!/usr/bin/env bash
# Makes the emulated machine's system into the folder OUT: vmlinuz, initrd.img and root.img (ext4),
# from Debian's packages only, through this machine's own Debian sources: a minimal Debian made by
# debootstrap, then, in a chroot, the packages of packages.txt (Debian's kernel, which runs 32-bit
# code, Wine's 64-bit and 32-bit loaders, an X server, CTest...), then `mkfs.ext4 -d`. image.sh
# calls it when its cache has no system made from this script, packages.txt and guest-init.
#   base.sh OUT
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
log() { echo "lab32: $*" >&2; }

# The Debian release and archive this machine installs from.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || { log "not a Debian machine: no release name in /etc/os-release"; exit 1; }
mirror=""
for sources in /etc/apt/sources.list.d/*.sources; do
  [ -f "$sources" ] || continue
  mirror=$(awk -v suite="$codename" '
    /^URIs:/ { uri = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
    /^$/ { if (found && uri != "") exit; found = 0; uri = "" }
    END { if (found && uri != "") print uri }' "$sources")
  [ -n "$mirror" ] && break
done
if [ -z "$mirror" ]; then
  mirror=$(grep -hE "^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +$codename( |$)" /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
             2>/dev/null | head -n1 | sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/')
fi
[ -n "$mirror" ] || { log "found no Debian archive for $codename in /etc/apt"; exit 1; }

log "making the emulated machine's system from Debian $codename (about 10 minutes, 2.5 GB)"
work=$out.work
tree=$work/tree
unmount() {
  for m in dev/pts dev proc sys; do "${sudo_cmd[@]}" umount "$tree/$m" 2>/dev/null || true; done
}
trap 'unmount; "${sudo_cmd[@]}" rm -rf "$work"' EXIT
"${sudo_cmd[@]}" rm -rf "$work"
mkdir -p "$work"
"${sudo_cmd[@]}" debootstrap --variant=minbase --arch=amd64 "$codename" "$tree" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 30 "$work/debootstrap.log" >&2; exit 1; }
# The same archives as this machine: its sources, and nothing started while packages install.
for sources in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  if [ -f "$sources" ]; then "${sudo_cmd[@]}" cp "$sources" "$tree$sources"; fi
done
printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee "$tree/usr/sbin/policy-rc.d" >/dev/null
"${sudo_cmd[@]}" chmod +x "$tree/usr/sbin/policy-rc.d"
"${sudo_cmd[@]}" mount -t proc proc "$tree/proc"
"${sudo_cmd[@]}" mount -t sysfs sysfs "$tree/sys"
"${sudo_cmd[@]}" mount --bind /dev "$tree/dev"
"${sudo_cmd[@]}" mount --bind /dev/pts "$tree/dev/pts"
mapfile -t packages < <(grep -v '^#' "$here/packages.txt" | grep .)
"${sudo_cmd[@]}" chroot "$tree" /bin/sh -c '
  set -e
  export DEBIAN_FRONTEND=noninteractive LC_ALL=C
  dpkg --add-architecture i386
  # The kernel starts from its virtio disk: the first file system needs only these modules, and an
  # initramfs of them alone is made in seconds.
  mkdir -p /etc/initramfs-tools/conf.d
  echo MODULES=list >/etc/initramfs-tools/conf.d/pos-lab
  printf "%s\n" virtio_pci virtio_blk ext4 >/etc/initramfs-tools/modules
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends -o Dpkg::Options::=--force-confold "$@"
  apt-get clean
  rm -rf /var/lib/apt/lists/*
  sed -i "s/^# *\(zh_CN.UTF-8 UTF-8\)/\1/; s/^# *\(en_US.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  locale-gen
' sh "${packages[@]}" >"$work/packages.log" 2>&1 || { tail -n 30 "$work/packages.log" >&2; exit 1; }
unmount
"${sudo_cmd[@]}" rm -f "$tree/usr/sbin/policy-rc.d"
"${sudo_cmd[@]}" install -m 755 "$here/guest-init" "$tree/sbin/pos-lab-init"
echo pos-lab | "${sudo_cmd[@]}" tee "$tree/etc/hostname" >/dev/null
printf '127.0.0.1\tlocalhost\n127.0.1.1\tpos-lab\n::1\tlocalhost\n' | "${sudo_cmd[@]}" tee "$tree/etc/hosts" >/dev/null
mkdir -p "$work/out"
"${sudo_cmd[@]}" cp "$(ls "$tree"/boot/vmlinuz-* | sort -V | tail -n1)" "$work/out/vmlinuz"
"${sudo_cmd[@]}" cp "$(ls "$tree"/boot/initrd.img-* | sort -V | tail -n1)" "$work/out/initrd.img"
"${sudo_cmd[@]}" chmod 644 "$work/out/vmlinuz" "$work/out/initrd.img"
# Room for the prefixes and for what the tests write.
size_mb=$(( $("${sudo_cmd[@]}" du -sm "$tree" | cut -f1) + 2048 ))
"${sudo_cmd[@]}" mkfs.ext4 -q -F -L pos-lab -d "$tree" "$work/out/root.img" "${size_mb}M" >/dev/null
"${sudo_cmd[@]}" chown "$(id -u):$(id -g)" "$work/out/root.img"
"${sudo_cmd[@]}" rm -rf "$out"
mv "$work/out" "$out"
touch "$out/ready"
