# Sourced by the other scripts: a private Wine prefix under build/, an Xvfb display and a
# warm wine server, so that test processes and the program start in a fraction of a second.
#
# The tested executables are the x86-64 build: Wine runs 64-bit Windows code with its
# 64-bit side alone, while its 32-bit side needs the kernel to execute 32-bit Linux code,
# which some machines (this project's build machines among them) refuse.

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
XVFB_DISPLAY=${XVFB_DISPLAY:-:87}

wine_start_display() {
  mkdir -p "$ROOT/build"
  export DISPLAY=$XVFB_DISPLAY
  if ! [ -e "/tmp/.X11-unix/X${XVFB_DISPLAY#:}" ]; then
    rm -f "/tmp/.X${XVFB_DISPLAY#:}-lock"
    setsid Xvfb "$XVFB_DISPLAY" -screen 0 1024x768x24 -nolisten tcp \
      >"$ROOT/build/xvfb.log" 2>&1 </dev/null &
    echo $! >"$ROOT/build/xvfb.pid"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${XVFB_DISPLAY#:}" ] && break; sleep 0.1; done
  fi
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

wine_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$ROOT/build/xvfb.pid" ]; then
    local pid
    pid=$(cat "$ROOT/build/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$ROOT/build/xvfb.pid" "/tmp/.X11-unix/X${XVFB_DISPLAY#:}"
  fi
}
