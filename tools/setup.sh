#!/usr/bin/env bash
# Sets up this machine and builds the tools: installs what is missing from Debian's packages,
# configures and builds the four build trees, and creates the 64-bit Wine prefix of this checkout
# (tools/test.sh makes the 32-bit one when it runs the 32-bit tests).
#   tools/setup.sh                      set up and build
#   tools/setup.sh --run NAME           then start NAME (corvale or velmara) under Wine
#   tools/setup.sh --presets "A B..."   build only these trees (tools/test.sh builds what it runs)
#   tools/setup.sh --lab                also install what the emulated machine of tools/lab32 needs
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

run=""
presets="win32 win64 host win32-tests"
deps=()
while [ $# -gt 0 ]; do
  case "$1" in
    --run) run=${2:?"--run needs corvale or velmara"}; shift 2 ;;
    --presets) presets=${2:?"--presets needs the names of configure presets"}; shift 2 ;;
    --lab) deps=(--lab); shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

tools/install-deps.sh "${deps[@]}"
for preset in $presets; do
  echo "== building $preset"
  started=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== built $preset in $((SECONDS - started)) s"
done
tools/wine-prefix.sh
tools/make-demo-medium.sh >/dev/null

echo
echo "The deliverables (32-bit Windows programs):"
for exe in build/win32/bin/*.exe; do
  if [ -f "$exe" ]; then echo "  $root/$exe"; fi
done

if [ -n "$run" ]; then exec tools/try.sh "$run"; fi
