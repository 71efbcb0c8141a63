#!/usr/bin/env bash
# Runs a Wine test with a serial printer on COM5: a Linux pseudo-terminal, held by socat, which
# copies everything written to it into a file. The test finds the file's Windows path in
# DUNLITH_SERIAL_CAPTURE and the port's number in DUNLITH_SERIAL_PORT.
#   with_serial_printer.sh TEST_EXE [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"

port=5
work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/com$port"
saved=""
if [ -L "$link" ]; then saved=$(readlink "$link"); fi
socat_pid=""
cleanup() {
  if [ -n "$socat_pid" ]; then kill "$socat_pid" 2>/dev/null || true; wait "$socat_pid" 2>/dev/null || true; fi
  rm -f "$link"
  if [ -n "$saved" ]; then ln -s "$saved" "$link"; fi
  rm -rf "$work"
}
trap cleanup EXIT

: >"$work/capture"
socat -u "PTY,link=$work/pty,raw,echo=0" "OPEN:$work/capture,creat,append" &
socat_pid=$!
for _ in $(seq 100); do [ -e "$work/pty" ] && break; sleep 0.05; done
[ -e "$work/pty" ] || { echo "socat made no pseudo-terminal" >&2; exit 1; }
rm -f "$link"
ln -s "$(readlink -f "$work/pty")" "$link"

export DUNLITH_SERIAL_PORT=$port
export DUNLITH_SERIAL_CAPTURE="Z:${work//\//\\}\\capture"
"$root/tools/wine-run" "$@"
