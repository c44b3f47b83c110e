#!/usr/bin/env bash
# The release archive: the 32-bit program and its text file, named with the version
# that the version resource is made from.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^#define AUTOVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$ROOT/res/version.h")
[ -n "$version" ] || { echo "dist: no version in res/version.h" >&2; exit 1; }
archive="$ROOT/build/Autovane-$version-win32.zip"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$ROOT/build/Autovane.exe" "$ROOT/dist/Autovane.txt" "$stage/"
rm -f "$archive"
# The text file gets CR LF line ends, which Notepad on older Windows needs.
(cd "$stage" && zip -q -X "$archive" Autovane.exe && zip -q -X -l "$archive" Autovane.txt)
echo "$archive"
