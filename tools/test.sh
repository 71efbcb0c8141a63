#!/usr/bin/env bash
# Runs every test: the Linux tests against the in-memory stand-ins, the tests under Wine against the
# real registry, spooler and windows (on a private Xvfb display), and the checks of the shipped
# 32-bit files. Sets up and builds first.
#
# Under Wine the tests run in three configurations:
#   win64        the x86-64 build in a 64-bit Windows;
#   win32-wow64  the 32-bit build of the tests, driving the shipped programs, in a 64-bit Windows;
#   win32-x86    the same in a 32-bit Windows.
# The two 32-bit configurations need a kernel that runs 32-bit x86 code. Where this machine's does,
# they run here; elsewhere they run inside an emulated x86-64 machine (tools/lab32), whose image is
# made, from Debian's packages, while this machine builds and runs its own tests. When they cannot
# run at all, they fail.
#   POS_TEST_32BIT=0   skips the two 32-bit configurations, for a quick run on a person's machine
#                      (CI runs them whatever it says)
#   POS_TEST_LAB=1     runs them in the emulated machine even where this kernel runs 32-bit code
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh

mode32=native
if [ "${POS_TEST_32BIT:-1}" = 0 ]; then
  if [ "${CI:-}" = true ]; then
    echo "CI runs every configuration: POS_TEST_32BIT=0 does not apply"
  else
    mode32=skipped
  fi
fi
if [ "$mode32" = native ] && { [ "${POS_TEST_LAB:-0}" = 1 ] || ! pos_runs_i386; }; then mode32=lab; fi

presets="win32 win64 host"
if [ "$mode32" != skipped ]; then presets+=" win32-tests"; fi
mkdir -p build/lab32
image_pid=""
if [ "$mode32" = lab ]; then
  tools/install-deps.sh --lab
  # The emulated machine is made (or found in its cache) while this machine builds and tests.
  echo "== the emulated x86-64 machine for the 32-bit tests: being made or found (log: build/lab32/image.log)"
  tools/lab32/image.sh >build/lab32/image.log 2>&1 </dev/null &
  image_pid=$!
fi
if [ "$mode32" = lab ]; then setup_options=(--lab); else setup_options=(); fi
tools/setup.sh "${setup_options[@]}" --presets "$presets"

status=0
declare -A results
run() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then results[$name]=passed; else results[$name]=FAILED; status=1; fi
}
summary=build/test-summary.txt
: >"$summary"
export POS_TEST_SUMMARY=$root/$summary

run "Linux tests" ctest --preset host -j "$(nproc)"
run "checks of the shipped 32-bit files" ctest --preset deliverables
case "$mode32" in
  native)
    run "Wine" tools/wine-tests.sh win64 win32-wow64 win32-x86
    ;;
  *)
    run "Wine" tools/wine-tests.sh win64
    ;;
esac

lab_note=""
if [ "$mode32" = lab ]; then
  lab_started=$(date +%s)
  if wait "$image_pid"; then
    echo "== the emulated machine: $(tail -n1 build/lab32/image.log)"
    run "Wine in the emulated x86-64 machine" tools/lab32/run.sh tools/wine-tests.sh win32-wow64 win32-x86
  else
    echo "the emulated machine could not be made:" >&2
    tail -n 40 build/lab32/image.log >&2
    results["Wine in the emulated x86-64 machine"]=FAILED
    status=1
  fi
  lab_note=" ($(( $(date +%s) - lab_started )) s from the end of the host's tests, the machine's start included)"
fi

echo
echo "Summary"
for name in "${!results[@]}"; do printf '  %-56s %s\n' "$name" "${results[$name]}"; done | sort
echo "Wine configurations:"
where() {
  case "$1" in
    win64) echo "on this machine" ;;
    *) case "$mode32" in
         native) echo "on this machine (its kernel runs 32-bit code)" ;;
         lab) echo "in the emulated x86-64 machine, tools/lab32$lab_note" ;;
       esac ;;
  esac
}
for config in win64 win32-wow64 win32-x86; do
  if [ "$config" != win64 ] && [ "$mode32" = skipped ]; then
    printf '  %-12s skipped  (POS_TEST_32BIT=0)\n' "$config"
    continue
  fi
  line=$(grep "^$config " "$summary" | tail -n1 || true)
  if [ -z "$line" ]; then
    printf '  %-12s FAILED   did not run, %s\n' "$config" "$(where "$config")"
    status=1
  else
    printf '  %s, %s\n' "$line" "$(where "$config")"
    case "$line" in *" passed "*) ;; *) status=1 ;; esac
  fi
done
if [ "$status" -ne 0 ]; then echo "SOME TESTS FAILED" >&2; fi
exit "$status"
