#!/usr/bin/env bash
# Installs what building and running under Wine needs, only when something is missing,
# so a fresh Debian machine (as root) and a prepared one both come out the same.
#   scripts/setup.sh          what `make` needs for building, running and testing
#   scripts/setup.sh signing  what a signed release and its test need (scripts/dist.sh)
set -euo pipefail

# The 32-bit compilers build the shipped program, which runs under Wine's 32-bit side
# (wine32, from the i386 architecture) in a 64-bit prefix, as on 64-bit Windows. The
# 64-bit compilers and wine64 serve machines that refuse 32-bit code. The -win32 variant
# of the compilers: the -posix one links a thread library that imports functions Windows
# NT 4.0, 2000 and XP do not have, and the program would not start there.
packages=(
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine xvfb xauth imagemagick
  cmake make zip googletest
)
# osslsigncode signs a Windows program with Authenticode from PEM files and checks it;
# openssl makes the test's throwaway certificate (and turns a .pfx into PEM files), and
# unzip opens the signed archive.
[ "${1:-}" = signing ] && packages=(osslsigncode openssl unzip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
