#!/usr/bin/env bash
# Installs what building and running under Wine needs, only when something is missing,
# so a fresh Debian machine (as root) and a prepared one both come out the same.
set -euo pipefail

# The 32-bit compilers build the shipped program, the 64-bit ones the build that runs
# here: only Wine's 64-bit side is installed, since its 32-bit side needs a kernel that
# executes 32-bit code.
packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb imagemagick
  cmake make zip googletest
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
