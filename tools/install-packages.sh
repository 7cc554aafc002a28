#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only what is missing.
#
#   install-packages.sh        everything of the 32-bit mode (and the build of both presets'
#                              32-bit programs)
#   install-packages.sh 64     that, and what the 64-bit mode adds: Wine's 64-bit loader, the
#                              x86_64 compilers, the 64-bit Xinerama library Wine needs to see
#                              two monitors
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest clang-format clang-tidy file util-linux
  g++-mingw-w64-i686 gcc-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386 libxinerama1:i386
  xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick python3
  xserver-xorg-core xserver-xorg-video-dummy fp-utils
  fonts-baekmuk fonts-liberation
)
if [ "${1:-}" = 64 ]; then
  packages+=(wine64 gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix libxinerama1:amd64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
if ! { $SUDO apt-get update -qq && \
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  rm -f "$log"
  echo "install-packages: apt-get failed" >&2
  exit 1
fi
rm -f "$log"
