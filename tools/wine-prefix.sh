#!/usr/bin/env bash
# Creates this checkout's Wine prefix of the chosen bitness (POS_WINE_BITS, see wine-env.sh) and
# brings its settings up to date; once both are done, later calls return at once.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

# Raise when the settings below change.
settings_version=5
ready="$WINEPREFIX/.pos-settings-$settings_version"

if [ -f "$ready" ]; then exit 0; fi
if [ "$POS_WINE_BITS" = 32 ] && ! pos_runs_i386; then
  echo "this machine does not run 32-bit x86 programs: no 32-bit Wine prefix" >&2
  exit 1
fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ -f "$ready" ]; then exit 0; fi

# A 64-bit prefix made while the 32-bit loader could not run lacks the 32-bit system (syswow64);
# make it again once it can.
if [ -f "$WINEPREFIX/system.reg" ] && [ "$POS_WINE_BITS" = 64 ] && pos_runs_i386 &&
   [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  echo "the Wine prefix in $WINEPREFIX has no 32-bit system: making it again"
  "$POS_WINESERVER" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the $POS_WINE_BITS-bit Wine prefix in $WINEPREFIX"
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

# The settings, in one registry file that one Wine start imports: every start of Wine costs as much
# as its system processes take to come up, which in an emulated machine is a minute.
multi_sz_hex() {
  { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; printf '\0\0\0\0'; } | od -An -tx1 -v | tr -s ' \n' ',' |
    sed 's/^,//; s/,$//'
}
settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
{
  echo 'Windows Registry Editor Version 5.00'
  # A crashing test ends with its exit code, not with a debugger dialog.
  echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
  echo '"ShowCrashDialog"=dword:00000000'
  # Every window in one virtual desktop that Wine draws itself, title bars and frames included,
  # whether or not the X server has a window manager; without one, every window that closes waits
  # for X11.
  echo '[HKEY_CURRENT_USER\Software\Wine\Explorer]'
  echo '"Desktop"="Default"'
  echo '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]'
  echo '"Default"="1280x1024"'
  # Chinese texts in dialogs and captions of any user-interface language: the system's fonts fall
  # back on a font with Chinese glyphs, as Windows links its own.
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
  for face in Tahoma 'Tahoma Bold' 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS Sans Serif' 'Microsoft Sans Serif' \
              'Segoe UI' 'Arial'; do
    echo "\"$face\"=hex(7):$(multi_sz_hex 'wqy-microhei.ttc,WenQuanYi Micro Hei')"
  done
  # The faces the programs ask for by their Chinese names.
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]'
  for face in '微软雅黑' 'Microsoft YaHei' '宋体' 'SimSun'; do
    echo "\"$face\"=\"WenQuanYi Micro Hei\""
  done
} | { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$settings"
LC_ALL=C.UTF-8 DISPLAY= "$POS_WINE" regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1
"$POS_WINESERVER" -w
rm -f "$WINEPREFIX"/.pos-ready "$WINEPREFIX"/.pos-settings-*
touch "$ready"
