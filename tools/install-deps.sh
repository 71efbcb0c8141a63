#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing the tools needs.
#   tools/install-deps.sh          what the build and the tests need
#   tools/install-deps.sh --lab    and what makes and runs the emulated machine of tools/lab32
# Idempotent: packages already present are left alone, and nothing runs apt when none is missing.
set -euo pipefail

packages=(
  cmake g++ make ninja-build googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 fonts-wine xvfb xauth x11-utils
  fonts-wqy-microhei locales imagemagick socat
)
if [ "${1:-}" = --lab ]; then packages+=(qemu-system-x86 qemu-utils debootstrap e2fsprogs); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# The deliverables are 32-bit programs: Wine's 32-bit loader runs them, in a 32-bit prefix and
# under WoW64 in the 64-bit one. Its package comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Chinese test runs need the zh_CN.UTF-8 locale for Wine to report UI language 2052.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  if [ -f /etc/locale.gen ] && grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    "${sudo_cmd[@]}" sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

# Both mingw targets: product code uses the win32 thread model, tests the posix one.
for arch in i686 x86_64; do
  for model in win32 posix; do
    command -v "$arch-w64-mingw32-g++-$model" >/dev/null ||
      { echo "missing $arch-w64-mingw32-g++-$model" >&2; exit 1; }
  done
done
for loader in wine wine64; do
  test -x /usr/lib/wine/$loader || { echo "missing /usr/lib/wine/$loader" >&2; exit 1; }
done
echo "dependencies present"
