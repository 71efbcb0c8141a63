# Sourced: the Wine environment of this checkout. The prefix lives in the build tree, so that
# nothing here ever touches a user's ~/.wine.
POS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${POS_WINEPREFIX:-$POS_ROOT/build/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
POS_WINE=/usr/lib/wine/wine64
POS_WINESERVER=/usr/lib/wine/wineserver
