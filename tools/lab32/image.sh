#!/usr/bin/env bash
# Makes the emulated x86-64 machine that runs the shipped 32-bit programs where this machine's
# kernel runs no 32-bit code, and prints the folder that holds it. Everything in it comes from
# Debian's packages, through this machine's own Debian sources: a minimal Debian made by
# debootstrap, with Debian's kernel (which runs 32-bit code), Wine's 64-bit and 32-bit loaders, an
# X server and CTest, as an ext4 image; over it, in a second layer, the two Wine prefixes, made by
# the emulated machine itself.
#
# Kept under POS_LAB_CACHE (default: $XDG_CACHE_HOME/pos-lab32 or ~/.cache/pos-lab32), in
# folders named after what went into them: a rerun finds them, a change to the package list, to the
# guest's start-up or to the prefixes' settings makes them again. Needs root (or sudo), the host's
# network to Debian's archive, debootstrap, qemu-system-x86_64 and qemu-img; the emulated machine
# itself has no network.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${POS_LAB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pos-lab32}
mkdir -p "$cache"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

key_of() { cat "$@" | sha256sum | cut -c1-16; }
base_key=$(key_of "$here/image.sh" "$here/packages.txt" "$here/guest-init")
prefix_key=$(key_of <(echo "$base_key") "$root/tools/wine-env.sh" "$root/tools/wine-prefix.sh")
base=$cache/base-$base_key
machine=$cache/machine-$prefix_key

if [ -f "$machine/ready" ]; then touch "$machine/ready" "$base/ready"; echo "$machine"; exit 0; fi
exec 8>"$cache/lock"
flock 8
if [ -f "$machine/ready" ]; then touch "$machine/ready" "$base/ready"; echo "$machine"; exit 0; fi

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

if [ ! -f "$base/ready" ]; then
  log "making the emulated machine's system from Debian $codename (about 10 minutes, 2.5 GB)"
  work=$cache/base-$base_key.work
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
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "$@"
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
  "${sudo_cmd[@]}" mkfs.ext4 -q -F -L pos-lab -d "$tree" "$work/out/root.img" "${size_mb}M"
  "${sudo_cmd[@]}" chown "$(id -u):$(id -g)" "$work/out/root.img"
  "${sudo_cmd[@]}" rm -rf "$base"
  mv "$work/out" "$base"
  touch "$base/ready"
  trap - EXIT
  "${sudo_cmd[@]}" rm -rf "$work"
fi

log "making the Wine prefixes inside the emulated machine"
work=$cache/machine-$prefix_key.work
control=$work/control
trap 'rm -rf "$work"' EXIT
rm -rf "$work"
mkdir -p "$control/tools"
cp "$root/tools/wine-env.sh" "$root/tools/wine-prefix.sh" "$control/tools/"
cp "$base/vmlinuz" "$base/initrd.img" "$work/"
qemu-img create -q -f qcow2 -b "$base/root.img" -F raw "$work/root.img"
cat >"$control/command" <<'GUEST'
set -e
. /etc/pos-lab.env 2>/dev/null || true
export POS_WINEPREFIX=/var/lib/pos-lab/wine-prefix POS_WINEPREFIX32=/var/lib/pos-lab/wine-prefix32
mkdir -p /var/lib/pos-lab
cd /run/pos-lab/tools
POS_WINE_BITS=64 bash wine-prefix.sh
POS_WINE_BITS=32 bash wine-prefix.sh
test -f "$POS_WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"
test -f "$POS_WINEPREFIX32/drive_c/windows/system32/kernel32.dll"
GUEST
POS_LAB_TIME_LIMIT=${POS_LAB_PREFIX_TIME_LIMIT:-1200} \
  "$here/boot.sh" "$work" "$control" yes "" >"$work/boot.log" 2>&1 ||
  { log "making the prefixes failed:"; tail -n 30 "$work/boot.log" >&2; exit 1; }
rm -rf "$machine" "$control"
mv "$work" "$machine"
trap - EXIT
touch "$machine/ready"
# Machines that no run has used for three days (run.sh marks each use) take only room; another
# checkout may still use a recent one.
for old in "$cache"/machine-*; do
  [ "$old" = "$machine" ] || [ -n "$(find "$old" -maxdepth 1 -name ready -mtime -3)" ] || rm -rf "$old"
done
for old in "$cache"/base-*; do
  [ "$old" = "$base" ] || [ -n "$(find "$old" -maxdepth 1 -name ready -mtime -3)" ] || "${sudo_cmd[@]}" rm -rf "$old"
done
echo "$machine"
