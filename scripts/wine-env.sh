# Sourced by the other scripts: a private Wine prefix under build/, an Xvfb display and a
# warm wine server, so that test processes and the program start in a fraction of a second.
#
# The programs that run are those of the shipped 32-bit build (build/), under WOW64 in a
# 64-bit prefix, wherever this machine runs 32-bit code. Wine's 32-bit side needs a kernel
# that executes 32-bit Linux code; on a machine that refuses it, the 64-bit build
# (build-x64/) runs instead and wine_program_dir says so loudly.

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# `wine` picks the 32- or 64-bit loader from the program's header, but is itself a
# 32-bit program: where the kernel refuses 32-bit code only wine64 starts.
if wine --version >/dev/null 2>&1; then
  WINE=$(command -v wine)
else
  WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
XVFB_DISPLAY=${XVFB_DISPLAY:-:87}

# A display is reused only while its server runs. A server that ended with an earlier
# session leaves its socket and lock file behind, and Wine then cannot create a window.
xvfb_running() {
  local lock="/tmp/.X${XVFB_DISPLAY#:}-lock" pid
  [ -S "/tmp/.X11-unix/X${XVFB_DISPLAY#:}" ] && [ -r "$lock" ] || return 1
  pid=$(tr -d ' \n' <"$lock")
  [[ "$pid" =~ ^[0-9]+$ ]] && [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == X* ]]
}

wine_start_display() {
  mkdir -p "$ROOT/build"
  export DISPLAY=$XVFB_DISPLAY
  # A server this run did not start is left running when the run ends.
  if xvfb_running; then rm -f "$ROOT/build/xvfb.pid"; return 0; fi
  rm -f "/tmp/.X${XVFB_DISPLAY#:}-lock" "/tmp/.X11-unix/X${XVFB_DISPLAY#:}"
  setsid Xvfb "$XVFB_DISPLAY" -screen 0 1024x768x24 -nolisten tcp \
    >"$ROOT/build/xvfb.log" 2>&1 </dev/null &
  echo $! >"$ROOT/build/xvfb.pid"
  for _ in $(seq 100); do xvfb_running && return 0; sleep 0.1; done
  echo "Xvfb did not start on display $XVFB_DISPLAY:" >&2
  cat "$ROOT/build/xvfb.log" >&2
  return 1
}

# Creates the prefix once: Wine's own set-up, then a virtual desktop (without one every
# top-level window waits about two seconds for a window manager that never answers).
wine_ensure_prefix() {
  mkdir -p "$ROOT/build"
  [ -f "$WINEPREFIX/.autovane-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Wine's 64-bit side does not pick up the TrueType fonts of fonts-wine by itself;
  # without Marlett the caption buttons draw as the letters "0 1 r".
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  "$WINESERVER" -w
  touch "$WINEPREFIX/.autovane-ready"
}

wine_start() {
  wine_start_display
  wine_ensure_prefix
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
}

# Ends every program of the prefix before the X server they draw on, if this run started it.
wine_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  if [ -f "$ROOT/build/xvfb.pid" ]; then
    local pid
    pid=$(cat "$ROOT/build/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$ROOT/build/xvfb.pid" "/tmp/.X11-unix/X${XVFB_DISPLAY#:}"
  fi
}

# Builds the programs that run here and prints their directory: the shipped 32-bit build
# (build/) when Wine runs its 32-bit probe, else the 64-bit build (build-x64/), with a
# loud note. Fails when the build does, so that no caller runs programs an earlier build
# left behind. Needs wine_start and `make shipped`.
wine_program_dir() {
  if "$WINE" "$ROOT/build/probe32.exe" >/dev/null 2>&1; then
    make -C "$ROOT" --no-print-directory build32 >&2 || return 1
    echo "$ROOT/build"
    return
  fi
  echo "*** This machine does not run 32-bit code (Wine could not start build/probe32.exe):" >&2
  echo "*** the shipped 32-bit program is NOT run here; the 64-bit build runs instead." >&2
  make -C "$ROOT" --no-print-directory build64 >&2 || return 1
  echo "$ROOT/build-x64"
}
