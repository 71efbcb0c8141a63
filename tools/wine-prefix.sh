#!/usr/bin/env bash
# Creates this checkout's Wine prefix once; later calls return at once.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

if [ -f "$WINEPREFIX/.pos-ready" ]; then exit 0; fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$WINEPREFIX/.pos-ready" ]; then exit 0; fi

echo "creating the Wine prefix in $WINEPREFIX"
rm -rf "$WINEPREFIX"
DISPLAY= "$POS_WINE" wineboot --init >/dev/null 2>&1 || true
"$POS_WINESERVER" -w
# A crashing test ends with its exit code, not with a debugger dialog.
"$POS_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$POS_WINESERVER" -w
test -f "$WINEPREFIX/system.reg" || { echo "wineboot did not create the prefix" >&2; exit 1; }
touch "$WINEPREFIX/.pos-ready"
