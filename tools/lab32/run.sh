#!/usr/bin/env bash
# Runs one command inside the emulated x86-64 machine (see image.sh, which it calls first), in this
# checkout, which the machine sees at the same path: what the command writes there (build trees,
# test results, screenshots) is on this machine afterwards. The machine runs nothing else, has no
# network, forgets every other write when it powers off, and is stopped after POS_LAB_TIME_LIMIT
# seconds (default 2400).
#   tools/lab32/run.sh COMMAND [ARGS...]
# Exits with the command's status; 124 when the machine was stopped, 125 when it ended without a
# status. The command's environment: the POS_* variables of this one, the prefixes made in the
# image, and POS_TEST_TIME_SCALE (POS_LAB_TIME_SCALE, default 4), by which the emulator is slower.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }

machine=$("$here/image.sh")
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
{
  echo 'export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8'
  while IFS= read -r name; do
    case "$name" in POS_WINEPREFIX | POS_WINEPREFIX32 | POS_TEST_TIME_SCALE) continue ;; esac
    printf 'export %s=%q\n' "$name" "${!name}"
  done < <(compgen -e | grep -E '^(POS_|CI$)' || true)
  echo 'export POS_WINEPREFIX=/var/lib/pos-lab/wine-prefix POS_WINEPREFIX32=/var/lib/pos-lab/wine-prefix32'
  printf 'export POS_TEST_TIME_SCALE=%q POS_LAB=1\n' "${POS_LAB_TIME_SCALE:-4}"
  printf 'cd %q\n' "$root"
  printf '%q ' "$@"
  echo
} >"$control/command"
"$here/boot.sh" "$machine" "$control" no "$root"
