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
base_key=$(key_of "$here/base.sh" "$here/packages.txt" "$here/guest-init")
prefix_key=$(key_of <(echo "$base_key") "$here/prefixes.sh" "$root/tools/wine-env.sh" "$root/tools/wine-prefix.sh")
base=$cache/base-$base_key
machine=$cache/machine-$prefix_key

if [ -f "$machine/ready" ]; then touch "$machine/ready" "$base/ready"; echo "$machine"; exit 0; fi
exec 8>"$cache/lock"
flock 8
if [ -f "$machine/ready" ]; then touch "$machine/ready" "$base/ready"; echo "$machine"; exit 0; fi

log() { echo "lab32: $*" >&2; }

if [ ! -f "$base/ready" ]; then "$here/base.sh" "$base"; fi

log "making the Wine prefixes inside the emulated machine"
work=$cache/machine-$prefix_key.work
control=$work/control
trap 'rm -rf "$work"' EXIT
rm -rf "$work"
mkdir -p "$control/tools"
cp "$root/tools/wine-env.sh" "$root/tools/wine-prefix.sh" "$control/tools/"
cp "$base/vmlinuz" "$base/initrd.img" "$work/"
qemu-img create -q -f qcow2 -b "$base/root.img" -F raw "$work/root.img"
cp "$here/prefixes.sh" "$control/command"
# What the machine says goes to this script's error output, which tools/test.sh keeps in a log.
if ! POS_LAB_TIME_LIMIT=${POS_LAB_PREFIX_TIME_LIMIT:-3600} "$here/boot.sh" "$work" "$control" yes "" 2>&1 >&2; then
  log "making the prefixes failed"
  exit 1
fi
rm -rf "$machine" "$control"
mv "$work" "$machine"
trap - EXIT
touch "$machine/ready"
# Machines that no run has used for three days (each use marks them) take only room; another
# checkout may still use a recent one.
for old in "$cache"/machine-*; do
  [ "$old" = "$machine" ] || [ -n "$(find "$old" -maxdepth 1 -name ready -mtime -3)" ] || rm -rf "$old"
done
for old in "$cache"/base-*; do
  [ "$old" = "$base" ] || [ -n "$(find "$old" -maxdepth 1 -name ready -mtime -3)" ] || "${sudo_cmd[@]}" rm -rf "$old"
done
echo "$machine"
