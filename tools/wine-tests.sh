#!/usr/bin/env bash
# Runs the named test configurations under Wine, each with its test preset, on a private Xvfb
# display, with one Wine server per prefix for the whole run:
#   tools/wine-tests.sh win64 win32-wow64 win32-x86
# The build trees must be built. For each configuration it prints a line
#   CONFIG passed|FAILED N tests, M failed, S s
# and appends the same line to the file POS_TEST_SUMMARY names, if any. tools/test.sh runs it on
# this machine and, where the kernel runs no 32-bit code, inside the emulated machine of
# tools/lab32. There POS_TEST_TIME_SCALE says how much slower than this machine it runs: the
# presets' per-test limits grow by that factor, as do the tests' own waits (the test equipment reads
# it too).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scale=${POS_TEST_TIME_SCALE:-1}
case "$scale" in '' | *[!0-9]*) echo "POS_TEST_TIME_SCALE must be a whole number, not $scale" >&2; exit 2 ;; esac

bits_of() {
  case "$1" in
    win64 | win32-wow64) echo 64 ;;
    win32-x86) echo 32 ;;
    *) echo "unknown configuration: $1" >&2; return 2 ;;
  esac
}
for config in "$@"; do bits_of "$config" >/dev/null; done

# One X server for the whole run and one Wine server per prefix: every Wine start then costs
# less, and every window lands on the same screen. Their output goes to files: a pipe from a test
# run would stay open as long as they run.
logs=$(mktemp -d)
servers=()
cleanup() {
  for bits in "${servers[@]}"; do
    POS_WINE_BITS=$bits bash -c '. tools/wine-env.sh; "$POS_WINESERVER" -k' >/dev/null 2>&1 || true
  done
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$logs"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$logs/display" >"$logs/xvfb" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 300); do [ -s "$logs/display" ] && break; sleep 0.1; done
[ -s "$logs/display" ] || { echo "Xvfb did not start:" >&2; cat "$logs/xvfb" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$logs/display")"

status=0
for config in "$@"; do
  bits=$(bits_of "$config")
  echo "== Wine: $config"
  if [[ " ${servers[*]} " != *" $bits "* ]]; then
    POS_WINE_BITS=$bits tools/wine-prefix.sh
    # The Wine server's own diagnostics (it lists its objects when a serial test's terminal hangs
    # up) go to a log of their own, not between the test results.
    mkdir -p build
    POS_WINE_BITS=$bits bash -c '. tools/wine-env.sh; "$POS_WINESERVER" -p' </dev/null >>build/wineserver.log 2>&1
    servers+=("$bits")
  fi
  limit=()
  timeout=$(cmake -DPRESET="$config" -P tools/preset-timeout.cmake)
  if [ -n "$timeout" ] && [ "$scale" != 1 ]; then limit=(--timeout $((timeout * scale))); fi
  started=$(date +%s)
  result=passed
  ctest --preset "$config" -j "$(nproc)" "${limit[@]}" --output-log "$logs/$config.log" || result=FAILED
  seconds=$(( $(date +%s) - started ))
  # CTest's closing line: "97% tests passed, 1 tests failed out of 30", in colour where its output
  # is a terminal (the emulated machine's console).
  closing=$(sed 's/\x1b\[[0-9;]*m//g' "$logs/$config.log" | grep 'tests failed out of' | tail -n1 || true)
  total=$(echo "$closing" | sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p')
  failed=$(echo "$closing" | sed -n 's/.* \([0-9]*\) tests failed out of .*/\1/p')
  if [ -z "$total" ]; then result=FAILED; fi
  line=$(printf '%-12s %-7s %s tests, %s failed, %s s' "$config" "$result" "${total:-no}" "${failed:-?}" "$seconds")
  echo "$line"
  if [ -n "${POS_TEST_SUMMARY:-}" ]; then echo "$line" >>"$POS_TEST_SUMMARY"; fi
  if [ "$result" != passed ]; then status=1; fi
done
exit "$status"
