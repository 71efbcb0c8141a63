#!/usr/bin/env bash
# Sets up this machine and builds the tools: installs what is missing from Debian's packages,
# configures and builds the four build trees, and creates the 64-bit Wine prefix of this checkout
# (tools/test.sh makes the 32-bit one when it runs the 32-bit tests).
#   tools/setup.sh               set up and build
#   tools/setup.sh --run NAME    then start NAME (corvale or velmara) under Wine
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

run=""
if [ "${1:-}" = "--run" ]; then run=${2:?"--run needs corvale or velmara"}; fi

tools/install-deps.sh
for preset in win32 win64 host win32-tests; do
  echo "== building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
tools/wine-prefix.sh
tools/make-demo-medium.sh >/dev/null

echo
echo "The deliverables (32-bit Windows programs):"
for exe in build/win32/bin/*.exe; do
  if [ -f "$exe" ]; then echo "  $root/$exe"; fi
done

if [ -n "$run" ]; then exec tools/try.sh "$run"; fi
