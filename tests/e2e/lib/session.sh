# One end-to-end session: a Wine prefix on its own Xvfb, the eight COM ports mapped once to
# links that each scenario points at a simulated modem's pty or at a folder (a port that
# cannot be opened), modem-sim, FirmwareUpdate.exe and windriver.exe.
#   e2e_begin OUTDIR           picks the host's Windows build (FW_EXE, WINDRIVER), prefix,
#                              port links, EXIT trap that ends everything
#   e2e_sim_start PORT...      modem-sim with --port PORT each (NAME[:key=value,...]);
#                              links COMn to its ptys
#   e2e_sim_stop               ends modem-sim; every link back to the folder
#   e2e_app_start DIR          FirmwareUpdate.exe started in DIR, driver attached
#   e2e_app_exit               presses Exit and checks that the process ends
#   e2e_app_ended              checks that the main dialog and the process end
#   e2e_shot NAME              screenshot OUTDIR/NAME.png
#   e2e_port_holders COMn      pids other than modem-sim that hold the port's pty open

E2E_SRC=${E2E_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
MODEM_SIM=${MODEM_SIM:-$E2E_SRC/build/native/sim/modem-sim}
MAIN_CAPTION="Orvane Firmware Update V1.03"

source "$E2E_SRC/scripts/lib/wine-env.sh"
source "$E2E_SRC/scripts/lib/modem-sim.sh"
source "$E2E_SRC/tests/e2e/lib/driver.sh"

e2e_begin() {
  E2E_OUT=$1
  mkdir -p "$E2E_OUT"
  E2E_OUT=$(cd "$E2E_OUT" && pwd)
  fw_wine_pick || return 1
  FW_EXE=$FW_WIN_BUILD/app/FirmwareUpdate.exe
  WINDRIVER=$FW_WIN_BUILD/tests/e2e/windriver/windriver.exe
  local f
  for f in "$FW_EXE" "$WINDRIVER" "$MODEM_SIM"; do
    [ -x "$f" ] || [ -f "$f" ] || { echo "e2e: missing $f (build the Windows and native presets first)"; return 1; }
  done
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/fw-e2e.XXXXXX")
  E2E_LINKS=$E2E_WORK/ports
  E2E_RECORD=$E2E_WORK/record
  E2E_SIM_LOG=$E2E_WORK/sim.log
  mkdir -p "$E2E_LINKS" "$E2E_RECORD"
  trap e2e_end EXIT
  trap 'exit 130' INT TERM
  wine_env_start "$E2E_WORK/wine" || return 1
  e2e_links_reset
  local map=() n
  for n in 1 2 3 4 5 6 7 8; do map+=("COM$n=$E2E_LINKS/COM$n"); done
  wine_map_ports "${map[@]}"
}

e2e_end() {
  drv_stop
  e2e_app_kill
  e2e_sim_stop
  wine_env_stop
  [ -n "${E2E_WORK:-}" ] && rm -rf "$E2E_WORK"
  E2E_WORK=""
}

e2e_links_reset() {
  local n
  for n in 1 2 3 4 5 6 7 8; do ln -sfn "$FW_WINE_DIR/noport" "$E2E_LINKS/COM$n"; done
}

# modem-sim writes E2E_SIM_LOG and E2E_RECORD, both in E2E_WORK.
e2e_sim_start() {
  local name
  sim_start "$E2E_WORK" --max-seconds "${E2E_SIM_SECONDS:-900}" "$@" || return 1
  for name in "${@%%:*}"; do ln -sfn "$(sim_pty "$name")" "$E2E_LINKS/$name"; done
}

e2e_sim_stop() {
  sim_stop
  [ -n "${E2E_LINKS:-}" ] && [ -d "$E2E_LINKS" ] && e2e_links_reset
  return 0
}

# The pty behind a port's link.
e2e_port_device() { readlink "$E2E_LINKS/$1"; }

# Processes other than modem-sim that have the port's device open.
e2e_port_holders() {
  local dev pid fd
  dev=$(e2e_port_device "$1")
  for fd in /proc/[0-9]*/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" = "$dev" ] || continue
    pid=${fd#/proc/}
    pid=${pid%%/*}
    [ "$pid" = "${SIM_PID:-}" ] || echo "$pid"
  done | sort -u
}

e2e_app_start() {
  (cd "$1" && exec timeout "$FW_WINE_TIMEOUT" "$FW_WINE_LOADER" "$FW_EXE" >"$E2E_WORK/app.log" 2>&1) &
  E2E_APP_PID=$!
  drv_start
  drv main "\"$MAIN_CAPTION\"" 30000
}

e2e_app_exit() {
  drv click 1 && e2e_app_ended
}

# The main dialog closed (or is about to): the process ends too.
e2e_app_ended() {
  drv wait-exit 10000 || return 1
  local i
  for i in $(seq 1 100); do
    kill -0 "$E2E_APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$E2E_APP_PID" 2>/dev/null; then
    echo "  the process did not end after Exit"
    return 1
  fi
  wait "$E2E_APP_PID" 2>/dev/null
  echo "  process ended (status $?)"
  E2E_APP_PID=""
  drv_stop
}

e2e_app_kill() {
  if [ -n "${E2E_APP_PID:-}" ]; then
    kill "$E2E_APP_PID" 2>/dev/null || true
    wait "$E2E_APP_PID" 2>/dev/null || true
    E2E_APP_PID=""
  fi
}

e2e_shot() {
  fw_screenshot "$E2E_OUT/$1.png" && echo "  screenshot $E2E_OUT/$1.png"
}
