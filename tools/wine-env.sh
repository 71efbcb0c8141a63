# Sourced: the Wine environment of this checkout. The prefixes live in the build tree, so that
# nothing here ever touches a user's ~/.wine.
#   POS_WINE_BITS=64 (default): a 64-bit Windows, build/wine-prefix; its 32-bit programs run under
#                               WoW64, as on most tills.
#   POS_WINE_BITS=32:           a 32-bit Windows, build/wine-prefix32, as on older tills.
POS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
POS_WINE_BITS=${POS_WINE_BITS:-64}
case "$POS_WINE_BITS" in
  64) export WINEARCH=win64 WINEPREFIX=${POS_WINEPREFIX:-$POS_ROOT/build/wine-prefix} ;;
  32) export WINEARCH=win32 WINEPREFIX=${POS_WINEPREFIX32:-$POS_ROOT/build/wine-prefix32} ;;
  *) echo "POS_WINE_BITS must be 64 or 32, not $POS_WINE_BITS" >&2; return 2 ;;
esac
export POS_WINE_BITS
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko, no desktop menu entries.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
# Wine's loaders: the 32-bit one runs 32-bit programs in either prefix.
POS_WINE32=/usr/lib/wine/wine
POS_WINE64=/usr/lib/wine/wine64
POS_WINESERVER=/usr/lib/wine/wineserver
# The loader that boots the prefix and runs its own tools (wineboot, reg).
if [ "$POS_WINE_BITS" = 32 ]; then POS_WINE=$POS_WINE32; else POS_WINE=$POS_WINE64; fi

# True when this machine's kernel runs 32-bit x86 code itself. Some kernels are built or booted
# without it ("32-bit emulation disabled" in the kernel log); a CPU emulator registered for i386
# programs would run Wine a hundred times slower than the tests' time limits allow, so it does not
# count.
pos_runs_i386() {
  [ -x "$POS_WINE32" ] || return 1
  local handler
  for handler in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$handler" ] || continue
    grep -q '^enabled' "$handler" 2>/dev/null || continue
    grep -q '^magic 7f454c4601010100000000000000000002000300' "$handler" 2>/dev/null && return 1
  done
  "$POS_WINE32" --version >/dev/null 2>&1
}
