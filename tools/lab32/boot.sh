#!/usr/bin/env bash
# Boots the emulated machine once, runs one command in it and powers it off; used by image.sh and
# run.sh, not on its own.
#   boot.sh IMAGE_DIR CONTROL_DIR WRITABLE CHECKOUT
# CONTROL_DIR holds the command (a bash script) and receives its exit status; CHECKOUT, when not
# empty, is shared at the same path. WRITABLE=yes keeps what the command writes in the image, else
# every write is lost at power-off. Exits with the command's status, or 124 when the machine did not
# finish within POS_LAB_TIME_LIMIT seconds, or 125 when it stopped without a status.
set -euo pipefail
image=$1 control=$2 writable=$3 checkout=$4
limit=${POS_LAB_TIME_LIMIT:-2400}

if [ -n "$checkout" ]; then printf '%s' "$checkout" >"$control/checkout"; else rm -f "$control/checkout"; fi
rm -f "$control/status"
snapshot=on
if [ "$writable" = yes ]; then snapshot=off; fi
# Two processors, each emulated by a thread of its own; 32-bit code segments need a processor model
# whose SMAP the guest kernel handles on return to 32-bit user mode (with SMAP on, the kernel kills
# 32-bit Wine at its first start).
args=(
  -machine pc -accel tcg,thread=multi -smp "${POS_LAB_CPUS:-2}" -m "${POS_LAB_MEMORY:-4096}"
  -cpu max,smap=off
  -kernel "$image/vmlinuz" -initrd "$image/initrd.img"
  -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 init=/sbin/pos-lab-init"
  -drive "file=$image/root.img,if=virtio,format=qcow2,snapshot=$snapshot,cache=unsafe"
  -virtfs "local,path=$control,mount_tag=pos_control,security_model=none,id=control"
  -nic none -display none -monitor none -serial stdio -no-reboot
)
if [ -n "$checkout" ]; then
  args+=(-virtfs "local,path=$checkout,mount_tag=pos_checkout,security_model=none,id=checkout")
fi
status=0
# The console's line ends lose their carriage returns; its output is the command's output.
timeout --kill-after=20 "$limit" qemu-system-x86_64 "${args[@]}" </dev/null | sed -u 's/\r$//' || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "the emulated machine did not finish within $limit s: stopped" >&2
  exit 124
fi
if [ ! -s "$control/status" ]; then
  echo "the emulated machine stopped without the command's exit status" >&2
  exit 125
fi
exit "$(cat "$control/status")"
