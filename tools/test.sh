#!/usr/bin/env bash
# Runs every test: the Linux tests against the in-memory stand-ins, the tests under Wine against the
# real registry, spooler and windows (on a private Xvfb display), and the checks of the shipped
# 32-bit files. Sets up and builds first.
#
# Under Wine the tests run in up to three configurations:
#   win64        the x86-64 build in a 64-bit Windows;
#   win32-wow64  the 32-bit build of the tests, driving the shipped programs, in a 64-bit Windows;
#   win32-x86    the same in a 32-bit Windows.
# The two 32-bit configurations need a kernel that runs 32-bit x86 code; they run when
# POS_TEST_32BIT=1 is set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
. tools/wine-env.sh

with32=no
if [ "${POS_TEST_32BIT:-0}" = 1 ]; then
  if ! pos_runs_i386; then
    echo "POS_TEST_32BIT=1, but this machine does not run 32-bit x86 programs" >&2
    exit 1
  fi
  with32=yes
  POS_WINE_BITS=32 tools/wine-prefix.sh
fi

# One X server for the whole run and one Wine server per prefix: every Wine start then costs
# less, and every window lands on the same screen.
xvfb_log=$(mktemp)
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>"$xvfb_log" &
xvfb_pid=$!
cleanup() {
  POS_WINE_BITS=64 bash -c '. tools/wine-env.sh; "$POS_WINESERVER" -k' 2>/dev/null || true
  if [ "$with32" = yes ]; then POS_WINE_BITS=32 bash -c '. tools/wine-env.sh; "$POS_WINESERVER" -k' 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$xvfb_log" "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start:" >&2; cat "$xvfb_log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"

jobs=$(nproc)
status=0
declare -A results
run() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then results[$name]=passed; else results[$name]=FAILED; status=1; fi
}
run "Linux tests" ctest --preset host -j "$jobs"
POS_WINE_BITS=64 "$POS_WINESERVER" -p
run "Wine: x86-64 build, 64-bit Windows" ctest --preset win64 -j "$jobs"
if [ "$with32" = yes ]; then
  run "Wine: shipped 32-bit programs, 64-bit Windows (WoW64)" ctest --preset win32-wow64 -j "$jobs"
  POS_WINE_BITS=32 bash -c '. tools/wine-env.sh; "$POS_WINESERVER" -p'
  run "Wine: shipped 32-bit programs, 32-bit Windows" ctest --preset win32-x86 -j "$jobs"
fi
run "checks of the shipped 32-bit files" ctest --preset deliverables

echo
for name in "${!results[@]}"; do printf '%-56s %s\n' "$name" "${results[$name]}"; done | sort
if [ "$with32" = no ]; then
  echo "not run: the 32-bit tests under Wine (POS_TEST_32BIT=1 runs them where the kernel runs 32-bit code)"
fi
if [ "$status" -ne 0 ]; then echo "SOME TESTS FAILED" >&2; fi
exit "$status"
