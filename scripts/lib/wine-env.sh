# Shared by the Wine tests and the run command: a private Wine prefix on its own X display,
# with COM ports mapped to Unix devices. Source it, then:
#   wine_env_start DIR     prefix in DIR/prefix, Xvfb on a free display unless FW_USE_DISPLAY=1
#   wine_map_ports COM3=/dev/pts/5 ...   every other COMn maps to a folder, so it fails to open
#   fw_wine PROG.exe ARGS  runs a program in the prefix, bounded by FW_WINE_TIMEOUT seconds
#   wine_env_stop          ends the wineserver and Xvfb and deletes the prefix
# wine_env_stop is safe to call twice; callers put it in an EXIT trap.

FW_WINE_TIMEOUT=${FW_WINE_TIMEOUT:-300}

wine_env_start() {
  FW_WINE_DIR=$1
  mkdir -p "$FW_WINE_DIR"
  export WINEPREFIX="$FW_WINE_DIR/prefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  FW_XVFB_PID=""
  if [ "${FW_USE_DISPLAY:-0}" != 1 ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$FW_WINE_DIR/xvfb.log" 2>&1 &
      FW_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
      done
      if kill -0 "$FW_XVFB_PID" 2>/dev/null; then break; fi
      FW_XVFB_PID=""
    done
    [ -n "$FW_XVFB_PID" ] || { echo "wine-env: no free X display for Xvfb" >&2; return 1; }
  fi
  timeout 180 wineboot -i >"$FW_WINE_DIR/wineboot.log" 2>&1 || {
    echo "wine-env: wineboot failed" >&2; return 1; }
  # Without a window manager every hidden top-level window stalls the thread ~2 s.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1
  # Debian's Wine does not register its own fonts in a new prefix: without Marlett the
  # caption buttons show letters, without Tahoma "MS Shell Dlg" falls back to a bitmap font.
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w >/dev/null 2>&1 || true
  mkdir -p "$FW_WINE_DIR/noport"
}

# Maps COM1..COM8: named ones to the given device, the rest to a folder Wine cannot open
# (otherwise Wine falls back to the machine's own /dev/ttyS*).
wine_map_ports() {
  local n dev arg
  for n in 1 2 3 4 5 6 7 8; do
    dev="$FW_WINE_DIR/noport"
    for arg in "$@"; do
      [ "${arg%%=*}" = "COM$n" ] && dev="${arg#*=}"
    done
    timeout 60 wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$dev" /f \
      >/dev/null 2>&1
  done
  # The port table is read when the wineserver starts.
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w >/dev/null 2>&1 || true
}

fw_wine() {
  timeout "$FW_WINE_TIMEOUT" wine "$@"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${FW_XVFB_PID:-}" ]; then
    kill "$FW_XVFB_PID" 2>/dev/null || true
    wait "$FW_XVFB_PID" 2>/dev/null || true
    FW_XVFB_PID=""
  fi
}

# Saves the whole X screen as a PNG.
fw_screenshot() {
  import -display "$DISPLAY" -window root "$1" >/dev/null 2>&1 ||
    { xwd -display "$DISPLAY" -root -silent | convert xwd:- "$1"; }
}

# Waits (at most 10 s) until modem-sim, started with its output in LOG, says "ready";
# fails with what it printed when it does not.
fw_wait_modem_sim() {
  local log=$1 pid=$2 i
  for i in $(seq 1 100); do
    grep -qx ready "$log" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -qx ready "$log" && return 0
  echo "modem-sim did not start:" >&2
  cat "$log" >&2
  return 1
}
