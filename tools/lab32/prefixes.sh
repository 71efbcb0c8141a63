# Run by the emulated machine while image.sh makes it (not on its own): makes the two Wine prefixes
# inside the machine's own disk with this checkout's settings (the control share holds copies of
# tools/wine-env.sh and tools/wine-prefix.sh), so that no test run has to make them.
# shellcheck shell=bash
set -e
export HOME=/root LANG=C.UTF-8
export POS_WINEPREFIX=/var/lib/pos-lab/wine-prefix POS_WINEPREFIX32=/var/lib/pos-lab/wine-prefix32
mkdir -p /var/lib/pos-lab
cd /run/pos-lab/tools
started=$(date +%s)
POS_WINE_BITS=64 bash wine-prefix.sh
echo "the 64-bit prefix: $(( $(date +%s) - started )) s"
started=$(date +%s)
POS_WINE_BITS=32 bash wine-prefix.sh
echo "the 32-bit prefix: $(( $(date +%s) - started )) s"
test -f "$POS_WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"
test -f "$POS_WINEPREFIX32/drive_c/windows/system32/kernel32.dll"
