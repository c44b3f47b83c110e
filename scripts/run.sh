#!/usr/bin/env bash
# Starts the program under Wine and waits until it ends. With DISPLAY set the program
# opens there; otherwise on a private Xvfb display, and a picture of that screen is
# saved to build/run.png some seconds after the start, to look at.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

own_display=true
[ -n "${DISPLAY:-}" ] && own_display=false
trap wine_stop EXIT
if $own_display; then
  wine_start
else
  wine_ensure_prefix
fi
bin=$(wine_program_dir)
echo "Autovane ($bin/Autovane.exe) runs on display $DISPLAY; close its dialog to end." >&2
"$WINE" "$bin/Autovane.exe" "$@" &
program=$!
if $own_display; then
  sleep 6
  import -display "$DISPLAY" -window root "$ROOT/build/run.png" 2>/dev/null &&
    echo "The screen as it is now: build/run.png" >&2
fi
wait "$program"
