#!/usr/bin/env bash
# Pictures of the program's windows, as PNG files in build/screenshots/ (the window only).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
OUT="$ROOT/build/screenshots"

trap wine_stop EXIT
wine_start
bin=$(wine_program_dir)
rm -rf "$OUT" && mkdir -p "$OUT"
"$ROOT/scripts/wine-run" "$bin/screenshots.exe" "$bin/Autovane.exe" "$OUT"
for bmp in "$OUT"/*.bmp; do
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$OUT"
