#!/usr/bin/env bash
# Starts one of the tools under Wine, in this checkout's prefix, on the current X display.
#   tools/try.sh corvale
#   tools/try.sh velmara
# The deliverables are 32-bit programs, which these machines cannot run; Wine runs the x86-64
# build of the same sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: set DISPLAY (or run under xvfb-run) to see the window" >&2
  exit 1
fi
case "${1:-}" in
  corvale)
    exe=$root/build/win64/bin/Corvale.exe
    [ -f "$exe" ] || { echo "Corvale is not built yet: run tools/setup.sh" >&2; exit 1; }
    # Its "Test Printer" starts Dunlith.exe from the current directory: the one beside it.
    [ -f "$(dirname "$exe")/Dunlith.exe" ] || echo "Dunlith.exe is not built yet: Test Printer will start nothing" >&2
    cd "$(dirname "$exe")"
    exec "$POS_WINE" "$exe"
    ;;
  velmara)
    exe=$root/build/win64/bin/Velmara.exe
    [ -f "$exe" ] || { echo "Velmara is not built yet: run tools/setup.sh" >&2; exit 1; }
    medium=$root/build/demo-medium
    [ -d "$medium" ] || { echo "no demonstration medium in $medium: run tools/setup.sh" >&2; exit 1; }
    cd "$medium"
    exec "$POS_WINE" "$exe"
    ;;
  *)
    echo "usage: $0 corvale|velmara" >&2
    exit 2
    ;;
esac
