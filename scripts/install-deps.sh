#!/usr/bin/env bash
# Installs what building and testing Kordane needs on Debian 12, if it is missing.
set -euo pipefail

packages=(cmake g++ make googletest libbenchmark-dev g++-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb x11-utils xauth imagemagick)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
