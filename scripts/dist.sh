#!/usr/bin/env bash
# The release: the 32-bit program and its text file in an archive named with the version
# that the version resource is made from, and SHA256SUMS with the hashes of both. Every
# byte follows from the commit, so anyone can rebuild it and compare: the program is
# built a second time in a folder of its own and the release is refused unless the two
# builds are the same, and the archive's file times are the commit's time.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^#define AUTOVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$ROOT/res/version.h")
[ -n "$version" ] || { echo "dist: no version in res/version.h" >&2; exit 1; }
program="$ROOT/build/Autovane.exe"
archive="Autovane-$version-win32.zip"
rm -f "$ROOT/build/$archive" "$ROOT/build/SHA256SUMS"

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

cp "$program" "$ROOT/dist/Autovane.txt" "$stage/"
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
# Zip keeps local times: the same in every time zone only when given in UTC. The text
# file gets CR LF line ends, which Notepad on older Windows needs.
(cd "$stage" && TZ=UTC zip -q -X "$archive" Autovane.exe && TZ=UTC zip -q -X -l "$archive" Autovane.txt)
cp "$stage/$archive" "$ROOT/build/"
(cd "$ROOT/build" && sha256sum Autovane.exe "$archive" >SHA256SUMS)
cat "$ROOT/build/SHA256SUMS"
