#!/usr/bin/env bash
# Starts one of the tools under Wine, in this checkout's 64-bit prefix, on the current X display:
# the shipped 32-bit program, as a technician's 64-bit Windows runs it.
#   tools/try.sh corvale
#   tools/try.sh velmara
# Where this machine's kernel does not run 32-bit code, it starts the x86-64 build of the same
# sources instead, and says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: set DISPLAY (or run under xvfb-run) to see the window" >&2
  exit 1
fi
bin=$root/build/win32/bin
loader=$POS_WINE32
if ! pos_runs_i386; then
  echo "this machine's kernel does not run 32-bit code: starting the x86-64 build instead" >&2
  bin=$root/build/win64/bin
  loader=$POS_WINE64
fi
case "${1:-}" in
  corvale)
    exe=$bin/Corvale.exe
    # Corvale starts its printing-test program from its current directory, which holds both.
    directory=$bin
    ;;
  velmara)
    exe=$bin/Velmara.exe
    directory=$root/build/demo-medium
    [ -d "$directory" ] || { echo "no demonstration medium in $directory: run tools/setup.sh" >&2; exit 1; }
    ;;
  *)
    echo "usage: $0 corvale|velmara" >&2
    exit 2
    ;;
esac
[ -f "$exe" ] || { echo "$(basename "$exe") is not built yet: run tools/setup.sh" >&2; exit 1; }
cd "$directory"
exec "$loader" "$exe"
