#!/usr/bin/env bash
# Runs every test: the Linux tests against the in-memory stand-ins, the same tests and the real
# windows under Wine, and the checks of the 32-bit deliverables. Sets up and builds first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
. tools/wine-env.sh

# One X server and one Wine server for the whole run: every Wine start then costs less, and every
# window lands on the same screen.
xvfb_log=$(mktemp)
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>"$xvfb_log" &
xvfb_pid=$!
cleanup() {
  "$POS_WINESERVER" -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$xvfb_log" "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start:" >&2; cat "$xvfb_log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
# The Wine server's own diagnostics (it lists its objects when a serial test's terminal hangs
# up) go to a log of their own, not between the test results.
"$POS_WINESERVER" -p 2>>"$root/build/wineserver.log"

jobs=$(nproc)
status=0
echo "== Linux tests"
ctest --preset host -j "$jobs" || status=1
echo "== Wine tests"
ctest --preset win64 -j "$jobs" || status=1
if [ -f build/win32/CTestTestfile.cmake ]; then
  echo "== checks of the 32-bit deliverables"
  ctest --test-dir build/win32 --output-on-failure || status=1
fi
if [ "$status" -ne 0 ]; then echo "SOME TESTS FAILED" >&2; fi
exit "$status"
