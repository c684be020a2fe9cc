# Shared by the Wine tests and the run command: a private Wine prefix on its own X display,
# with COM ports mapped to Unix devices. Source it, then:
#   fw_wine_pick           which programs and which Wine this host runs (wine-host.sh)
#   wine_env_start DIR     prefix in DIR/prefix with a wineserver that stays until
#                          wine_env_stop; Xvfb on a display of its own unless FW_USE_DISPLAY=1
#   wine_map_ports COM3=/dev/pts/5 ...   every other COMn maps to a folder, so it fails to open
#   fw_wine PROG.exe ARGS  runs a program in the prefix, bounded by FW_WINE_TIMEOUT seconds
#   wine_env_stop          ends the wineserver and Xvfb and deletes the prefix
# wine_env_stop is safe to call twice; callers put it in an EXIT trap.

FW_WINE_TIMEOUT=${FW_WINE_TIMEOUT:-300}
source "$(dirname "${BASH_SOURCE[0]}")/wine-host.sh"

wine_env_start() {
  FW_WINE_DIR=$1
  mkdir -p "$FW_WINE_DIR"
  fw_wine_pick || return 1
  export WINEPREFIX="$FW_WINE_DIR/prefix"
  export WINEARCH=$FW_WIN_ARCH
  # Programs that Wine starts on its own take the same loader.
  export WINELOADER=$FW_WINE_LOADER
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  FW_XVFB_PID=""
  if [ "${FW_USE_DISPLAY:-0}" != 1 ]; then
    fw_xvfb_start || return 1
  fi
  local rc=0
  timeout 180 "$FW_WINE_LOADER" wineboot -i >"$FW_WINE_DIR/wineboot.log" 2>&1 || rc=$?
  # A new prefix now and then fails half made ("could not load kernel32.dll"): it is made
  # again once, from nothing, with its server ended first.
  if [ "$rc" != 0 ] && [ "$rc" != 124 ]; then
    echo "wine-env: wineboot ended with status $rc; making the prefix again" >&2
    tail -3 "$FW_WINE_DIR/wineboot.log" | sed 's/^/  wineboot: /' >&2
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    rc=0
    timeout 180 "$FW_WINE_LOADER" wineboot -i >"$FW_WINE_DIR/wineboot.log" 2>&1 || rc=$?
  fi
  if [ "$rc" != 0 ]; then
    echo "wine-env: could not make a $WINEARCH Wine prefix: '$FW_WINE_LOADER wineboot -i'" \
      "$([ "$rc" = 124 ] && echo "did not finish in 180 s" || echo "ended with status $rc")." >&2
    tail -5 "$FW_WINE_DIR/wineboot.log" | sed 's/^/  wineboot: /' >&2
    echo "  Try: scripts/setup, then '$FW_WINE_LOADER --version'; FW_WIN64=1 takes the" \
      "64-bit Wine; a stale wineserver is ended by 'wineserver -k'." >&2
    return 1
  fi
  # Before the next wine run: the server wineboot leaves behind is about to exit.
  fw_wineserver_restart
  # Without a window manager every hidden top-level window stalls the thread ~2 s.
  timeout 60 "$FW_WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1
  # Debian's Wine does not register its own fonts in a new prefix: without Marlett the
  # caption buttons show letters, without Tahoma "MS Shell Dlg" falls back to a bitmap font.
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  mkdir -p "$FW_WINE_DIR/noport"
}

# Xvfb on a display it picks and reports itself (-displayfd), so that Wine tests started
# side by side never take the same number. The fifo's read returns once the server accepts
# connections, or at end of file when it died.
fw_xvfb_start() {
  local fifo="$FW_WINE_DIR/xvfb.displayfd" n=""
  rm -f "$fifo"
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$FW_WINE_DIR/xvfb.log" 2>&1 &
  FW_XVFB_PID=$!
  read -r -t 30 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ] || ! kill -0 "$FW_XVFB_PID" 2>/dev/null; then
    echo "wine-env: Xvfb did not start:" >&2
    sed 's/^/  Xvfb: /' "$FW_WINE_DIR/xvfb.log" >&2
    kill "$FW_XVFB_PID" 2>/dev/null || true
    FW_XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$n"
}

# Ends the prefix's wineserver with everything it runs, then starts one that stays for the
# prefix's whole life. Debian's wineserver exits the moment its last process ends (-p0): a
# wine run that starts just then meets a server that is going away ("recvmsg: Connection
# reset by peer"). The server reads the port table when it starts.
fw_wineserver_restart() {
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w >/dev/null 2>&1 || true
  # It goes to the background once its socket is ready.
  wineserver -p </dev/null >/dev/null 2>&1
}

# Maps COM1..COM8 (and any COMn above them that is named): named ones to the given device,
# the rest to a folder Wine cannot open (otherwise Wine falls back to the machine's own
# /dev/ttyS*).
wine_map_ports() {
  local n dev arg extra=()
  # COMn above 8 named here (COM12=...) are mapped too: a USB adapter is often one.
  for arg in "$@"; do
    n=${arg%%=*}
    n=${n#COM}
    [ "$n" -gt 8 ] 2>/dev/null && extra+=("$n")
  done
  for n in 1 2 3 4 5 6 7 8 "${extra[@]}"; do
    dev="$FW_WINE_DIR/noport"
    for arg in "$@"; do
      [ "${arg%%=*}" = "COM$n" ] && dev="${arg#*=}"
    done
    timeout 60 "$FW_WINE_LOADER" reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$dev" /f \
      >/dev/null 2>&1
  done
  fw_wineserver_restart
}

fw_wine() {
  timeout "$FW_WINE_TIMEOUT" "$FW_WINE_LOADER" "$@"
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
