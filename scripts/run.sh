#!/usr/bin/env bash
# Starts the program under Wine. With DISPLAY set the program opens there and this waits
# until it ends. Otherwise nobody could close it: it opens on a private Xvfb display, a
# picture of the screen with its dialog is saved to build/run.png, and the dialog is
# closed with Cancel, which writes nothing.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

own_display=true
[ -n "${DISPLAY:-}" ] && own_display=false
# Ctrl-C or a kill ends the script through its EXIT trap, which ends the programs it
# started (one that has not reached the wine server yet would outlive the server's end),
# stops the wine server with every program of the prefix, and the X server of this run.
programs=()
trap 'kill "${programs[@]}" 2>/dev/null || true; wine_stop' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
# Wine's programs run in a session of their own, out of reach of the terminal's Ctrl-C: a
# console program hit by it can hang in Wine's signal handling (seen here: glibc's malloc
# assertion, and the process never ends). The script waits for them in the background,
# so that a signal reaches the traps at once.
wine_wait() {
  wine_start_program "$@"
  wait "$!"
}
wine_start_program() {
  setsid -w "$WINE" "$@" &
  programs+=("$!")
}
if $own_display; then
  wine_start
else
  wine_ensure_prefix
fi
bin=$(wine_program_dir)
if ! $own_display; then
  echo "Autovane ($bin/Autovane.exe) runs on display $DISPLAY; close its dialog to end." >&2
  wine_wait "$bin/Autovane.exe" "$@"
  exit
fi

echo "Autovane ($bin/Autovane.exe) runs on the private display $DISPLAY." >&2
wine_start_program "$bin/Autovane.exe" "$@"
program=$!
picture="$ROOT/build/run.png"
rm -f "$picture"
if ! wine_wait "$bin/screenshots.exe" --shown; then
  import -display "$DISPLAY" -window root "$picture" 2>/dev/null || true
  echo "run: no settings dialog appeared; the screen as it was then: $picture" >&2
  exit 1
fi
import -display "$DISPLAY" -window root "$picture"
wine_wait "$bin/screenshots.exe" --cancel
# Cancel ends the program with 1: the end this run asked for.
status=0
wait "$program" || status=$?
[ $status -eq 1 ] || { echo "run: the program ended with $status after Cancel" >&2; exit 1; }
echo "The dialog as it was shown, before this run closed it with Cancel: $picture" >&2
