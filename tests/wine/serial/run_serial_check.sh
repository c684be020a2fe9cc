#!/usr/bin/env bash
# Runs serial_check.exe under Wine against modem-sim: COM3..COM6 are simulated modems on
# pseudo-terminals, COM7 (like every unmapped port) a folder Wine cannot open.
# Usage: run_serial_check.sh   (MODEM_SIM, FW_WIN32_BUILD, FW_WIN64_BUILD from the test)
set -euo pipefail
sim=${MODEM_SIM:?}
here=$(cd "$(dirname "$0")" && pwd)

. "$here/../../../scripts/lib/wine-env.sh"
fw_wine_pick
exe=$FW_WIN_BUILD/tests/wine/serial/serial_check.exe
[ -f "$exe" ] || { echo "missing: $exe (build the Windows presets first)"; exit 1; }
[ -x "$sim" ] || { echo "missing: $sim"; exit 1; }

work=$(mktemp -d /tmp/wine-serial-XXXXXX)
sim_pid=""
cleanup() {
  wine_env_stop
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

timeout 300 "$sim" --max-seconds 280 \
  --port COM3 --port COM4:silent=1 --port COM5:delay=400 \
  --port COM6:erase=200,stall-after=1000 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
fw_wait_modem_sim "$work/sim.out" "$sim_pid" || { cat "$work/sim.err"; exit 1; }

maps=()
while read -r name dev; do
  case "$name" in COM[0-9]) maps+=("$name=$dev") ;; esac
done <"$work/sim.out"
echo "ports: ${maps[*]}"

wine_env_start "$work/wine"
wine_map_ports "${maps[@]}"
FW_WINE_TIMEOUT=120 fw_wine "$exe"
