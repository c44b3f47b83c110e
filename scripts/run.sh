#!/usr/bin/env bash
# Starts the program under Wine and waits until it ends. With DISPLAY set the program
# opens on that display; otherwise on a private Xvfb display (take a look with
# `import -display :87 -window root shot.png`).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

if [ -n "${DISPLAY:-}" ]; then XVFB_DISPLAY=$DISPLAY; fi
trap wine_stop EXIT
wine_start
echo "Autovane is running on display $DISPLAY; close its dialog to end." >&2
"$WINE" "$ROOT/build-x64/Autovane.exe" "$@"
