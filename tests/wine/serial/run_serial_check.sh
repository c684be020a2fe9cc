#!/usr/bin/env bash
# Runs serial_check.exe under Wine against modem-sim: COM3..COM6 are simulated modems on
# pseudo-terminals, COM7 (like every unmapped port) a folder Wine cannot open.
# Usage: run_serial_check.sh   (MODEM_SIM, FW_WIN32_BUILD, FW_WIN64_BUILD from the test)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

. "$here/../../../scripts/lib/wine-env.sh"
. "$here/../../../scripts/lib/modem-sim.sh"
fw_wine_pick
exe=$FW_WIN_BUILD/tests/wine/serial/serial_check.exe
[ -f "$exe" ] || { echo "missing: $exe (build the Windows presets first)"; exit 1; }
[ -x "${MODEM_SIM:?}" ] || { echo "missing: $MODEM_SIM"; exit 1; }

work=$(mktemp -d /tmp/wine-serial-XXXXXX)
cleanup() {
  wine_env_stop
  sim_stop
  rm -rf "$work"
}
trap cleanup EXIT

ports=(COM3 COM4:silent=1 COM5:delay=400 "COM6:erase=200,stall-after=1000")
sim_start "$work" --max-seconds 280 "${ports[@]}"
maps=()
for name in "${ports[@]%%:*}"; do maps+=("$name=$(sim_pty "$name")"); done
echo "ports: ${maps[*]}"

wine_env_start "$work/wine"
wine_map_ports "${maps[@]}"
FW_WINE_TIMEOUT=120 fw_wine "$exe"
