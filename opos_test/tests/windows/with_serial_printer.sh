#!/usr/bin/env bash
# Runs a Wine test with a serial printer on COM5: a pair of Linux pseudo-terminals joined by
# socat, one mapped as COM5, where Dunlith prints, the other as COM6, where the test plays the
# printer, reading what comes and answering it. The test finds the two ports' numbers in
# DUNLITH_SERIAL_PORT and DUNLITH_SERIAL_PRINTER_PORT.
#   with_serial_printer.sh TEST_EXE [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/wine-prefix.sh"

port=5
printer_port=6
work=$(mktemp -d)
links=("$WINEPREFIX/dosdevices/com$port" "$WINEPREFIX/dosdevices/com$printer_port")
saved=("" "")
for i in 0 1; do
  if [ -L "${links[$i]}" ]; then saved[$i]=$(readlink "${links[$i]}"); fi
done
socat_pid=""
cleanup() {
  if [ -n "$socat_pid" ]; then kill "$socat_pid" 2>/dev/null || true; wait "$socat_pid" 2>/dev/null || true; fi
  for i in 0 1; do
    rm -f "${links[$i]}"
    if [ -n "${saved[$i]}" ]; then ln -s "${saved[$i]}" "${links[$i]}"; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

socat "PTY,link=$work/host,raw,echo=0" "PTY,link=$work/printer,raw,echo=0" &
socat_pid=$!
for _ in $(seq 100); do [ -e "$work/host" ] && [ -e "$work/printer" ] && break; sleep 0.05; done
[ -e "$work/host" ] && [ -e "$work/printer" ] || { echo "socat made no pseudo-terminals" >&2; exit 1; }
for i in 0 1; do rm -f "${links[$i]}"; done
ln -s "$(readlink -f "$work/host")" "${links[0]}"
ln -s "$(readlink -f "$work/printer")" "${links[1]}"

export DUNLITH_SERIAL_PORT=$port
export DUNLITH_SERIAL_PRINTER_PORT=$printer_port
"$root/tools/wine-run" "$@"
