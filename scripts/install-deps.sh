#!/usr/bin/env bash
# Installs what building and testing Kordane needs on Debian 12, if it is missing, and makes sure
# that 32-bit programs can start: the product is a 32-bit Windows program and its tests run under
# 32-bit Wine. On a machine whose kernel cannot start 32-bit programs, every i386 program is then
# started through the user-mode CPU emulator (qemu-user from bookworm-backports, registered for
# i386 ELF files in binfmt_misc). A machine that runs them natively is never registered.
# A second run changes nothing.
set -euo pipefail

fail() {
  echo "install-deps: $*" >&2
  exit 1
}

# Wine draws the program's "MS Sans Serif" in Liberation Sans, whose widths fit its captions;
# python3 and git make the release's zip.
packages=(cmake g++ make googletest libbenchmark-dev clang-14 libclang-rt-14-dev
          g++-mingw-w64-i686-posix wine wine32:i386 xvfb x11-utils xauth xdotool imagemagick
          fonts-liberation python3 git)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || fail "not root, and sudo is missing: run this script as root"
  as_root=(sudo)
fi
root() { "${as_root[@]}" "$@"; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    root dpkg --add-architecture i386
  fi
  root apt-get update -q
  root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

# The 32-bit Wine loader is an i386 ELF program: it starts exactly when 32-bit programs can.
wine32=/usr/lib/wine/wine
can_run_32bit() { "$wine32" --version >/dev/null 2>&1; }
can_run_32bit && exit 0

echo "This machine cannot start 32-bit programs; setting up the qemu-user CPU emulator for them."

# bookworm's own qemu takes about a minute per emulated process; the backports one about a second.
backports=/etc/apt/sources.list.d/bookworm-backports.sources
if ! [ -f "$backports" ] && ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # Same mirror and key as the machine's bookworm suite.
  uri=http://deb.debian.org/debian
  key=/usr/share/keyrings/debian-archive-keyring.gpg
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri="$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)"
    key="$(awk '/^Signed-By:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)"
  fi
  printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
    "$uri" "${key:-/usr/share/keyrings/debian-archive-keyring.gpg}" | root tee "$backports" >/dev/null
  root apt-get update -q
fi
qemu=/usr/bin/qemu-i386
version="$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)"
if ! installed qemu-user || dpkg --compare-versions "${version#*:}" lt 10; then
  root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -t bookworm-backports qemu-user ||
    fail "qemu-user could not be installed from bookworm-backports (is the Debian mirror reachable?)"
fi
[ -x "$qemu" ] || fail "$qemu is missing after installing qemu-user"

binfmt=/proc/sys/fs/binfmt_misc
if ! [ -e "$binfmt/register" ]; then
  root mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
    fail "binfmt_misc cannot be mounted on $binfmt (a container needs the privilege to mount it)"
fi
handler="$binfmt/qemu-i386"
if [ -e "$handler" ]; then
  # Registered before, perhaps disabled: enable it.
  grep -qx enabled "$handler" || echo 1 | root tee "$handler" >/dev/null
else
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::${magic}:${mask}:${qemu}:F" | root tee "$binfmt/register" >/dev/null ||
    fail "the i386 handler cannot be registered in $binfmt"
fi
can_run_32bit ||
  fail "32-bit programs still cannot start with $qemu registered; try: $qemu $wine32 --version"
echo "32-bit programs now start through $qemu."
