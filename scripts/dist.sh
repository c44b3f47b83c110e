#!/usr/bin/env bash
# The release: the 32-bit program and its text file in an archive named with the version
# that the version resource is made from, and SHA256SUMS with the hashes of both. Every
# byte follows from the commit, so anyone can rebuild it and compare: the program is
# built a second time in a folder of its own and the release is refused unless the two
# builds are the same, and the archive's file times are the commit's time.
#
# With SIGN_CERT and SIGN_KEY (PEM files: the certificate, with any intermediate ones after
# it, and its private key) the program in the archive is signed with Authenticode
# (SHA-256), so that Windows names its publisher. The signature is only added to the file:
# removed again (`osslsigncode remove-signature`) it gives back the unsigned program, byte
# for byte, which is what a rebuild is compared with. SHA256SUMS then lists that one too,
# as Autovane-unsigned.exe. DIST_DIR is where the release goes (build/ unless given).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
out=${DIST_DIR:-$ROOT/build}
sign_cert=${SIGN_CERT:-} sign_key=${SIGN_KEY:-}
if [ -n "$sign_cert$sign_key" ]; then
  [ -r "$sign_cert" ] && [ -r "$sign_key" ] ||
    { echo "dist: signing needs both SIGN_CERT and SIGN_KEY, readable files (PEM)" >&2; exit 1; }
  bash "$ROOT/scripts/setup.sh" signing
fi
version=$(sed -n 's/^#define AUTOVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$ROOT/res/version.h")
[ -n "$version" ] || { echo "dist: no version in res/version.h" >&2; exit 1; }
program="$ROOT/build/Autovane.exe"
archive="Autovane-$version-win32.zip"
mkdir -p "$out"
rm -f "$out/$archive" "$out/SHA256SUMS"

# The file times: SOURCE_DATE_EPOCH when given, else the commit's time.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "dist: no commit time (not a git checkout): set SOURCE_DATE_EPOCH" >&2; exit 1; }
if [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "dist: the working tree has uncommitted changes: this release is not the commit's" >&2
fi

again=$(mktemp -d)
stage=$(mktemp -d)
trap 'rm -rf "$again" "$stage"' EXIT
echo "dist: building the program a second time in $again to compare" >&2
cmake -S "$ROOT" -B "$again" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$again" -j 2 --target Autovane >/dev/null
if ! cmp -s "$program" "$again/Autovane.exe"; then
  echo "dist: build/Autovane.exe and a second build of the same sources differ; no release written:" >&2
  cmp -l "$program" "$again/Autovane.exe" | head -5 >&2 || true
  exit 1
fi

cp "$ROOT/dist/Autovane.txt" "$stage/"
programs=Autovane.exe
if [ -n "$sign_cert" ]; then
  osslsigncode sign -certs "$sign_cert" -key "$sign_key" -h sha256 -n Autovane \
    -in "$program" -out "$stage/Autovane.exe" >/dev/null
  osslsigncode remove-signature -in "$stage/Autovane.exe" -out "$stage/Autovane-unsigned.exe" >/dev/null
  if ! cmp -s "$program" "$stage/Autovane-unsigned.exe"; then
    echo "dist: the signed program without its signature is not build/Autovane.exe; no release written" >&2
    exit 1
  fi
  programs="Autovane.exe Autovane-unsigned.exe"
else
  cp "$program" "$stage/"
fi
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
# Zip keeps local times: the same in every time zone only when given in UTC. The text
# file gets CR LF line ends, which Notepad on older Windows needs.
(cd "$stage" && TZ=UTC zip -q -X "$archive" Autovane.exe && TZ=UTC zip -q -X -l "$archive" Autovane.txt)
cp "$stage/$archive" "$out/"
(cd "$stage" && sha256sum $programs "$archive") >"$out/SHA256SUMS"
cat "$out/SHA256SUMS"
