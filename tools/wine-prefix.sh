#!/usr/bin/env bash
# Creates this checkout's Wine prefix and brings its settings up to date; once both are done,
# later calls return at once.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

# Raise when the settings below change.
settings_version=4
ready="$WINEPREFIX/.pos-settings-$settings_version"

if [ -f "$ready" ]; then exit 0; fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$ready" ]; then exit 0; fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  DISPLAY= "$POS_WINE" wineboot --init >/dev/null 2>&1 || true
  "$POS_WINESERVER" -w
  test -f "$WINEPREFIX/system.reg" || { echo "wineboot did not create the prefix" >&2; exit 1; }
fi

# Wine's own fonts (Tahoma for "MS Shell Dlg" among them), where this Wine build does not look
# for them, so that dialogs are laid out with the font their templates were drawn for.
if [ -d /usr/share/wine/fonts ]; then
  cp -f /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi

reg_add() { DISPLAY= "$POS_WINE" reg add "$@" /f >/dev/null 2>&1; }
# A crashing test ends with its exit code, not with a debugger dialog.
reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# Every window in one virtual desktop that Wine draws itself, title bars and frames included,
# whether or not the X server has a window manager.
reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024
# Chinese texts in dialogs of any user-interface language: the dialog fonts fall back on a font
# with Chinese glyphs, as Windows links its own.
for face in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS Sans Serif' 'Microsoft Sans Serif'; do
  reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ \
    /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
done
"$POS_WINESERVER" -w
rm -f "$WINEPREFIX"/.pos-ready "$WINEPREFIX"/.pos-settings-*
touch "$ready"
