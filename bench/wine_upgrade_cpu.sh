#!/usr/bin/env bash
# CPU that FirmwareUpdate.exe spends over a paced Upgrade under Wine: a 512 KiB image to a
# simulated modem at 115200 baud (9 s erase, then about 46 s of transfer). Nothing polls the
# program while it is measured; only its own waiting and painting count.
# Usage: bench/wine_upgrade_cpu.sh [KiB]   (build the native and Windows presets first)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib/session.sh"
source "$here/../tests/e2e/lib/image.sh"
kib=${1:-512}
export DRV_QUIET=1

e2e_begin "$(mktemp -d /tmp/fw-cpu.XXXXXX)" >/dev/null || exit 1
image=$E2E_WORK/bench.bin
make_image "$image" $((kib * 1024))
e2e_sim_start "COM3:pace=1" || exit 1
e2e_app_start "$E2E_WORK" >/dev/null || exit 1
# utime + stime of the program, in clock ticks: every process that runs this build's
# FirmwareUpdate.exe (Wine's own process for it; the timeout around it costs nothing). Only
# this one: other Wine tests on the machine run programs of the same name.
cpu_ticks() {
  local pid total=0
  for pid in $(pgrep -f -- "$FW_EXE"); do
    total=$((total + $(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}

{ drv select 1000 2 && drv click 1006 && drv open-file "Z:${image//\//\\}" 20000 && drv idle 10000 &&
    drv click 1007 && drv answer ok 60000 && drv answer ok 30000; } >"$E2E_WORK/drv.log" ||
  { cat "$E2E_WORK/drv.log"; echo "bench: could not start the Upgrade"; exit 1; }

hz=$(getconf CLK_TCK)
t0=$(date +%s.%N); c0=$(cpu_ticks)
sleep 10
t1=$(date +%s.%N); c1=$(cpu_ticks)
# Transfer: the line's time for the image, with no one asking the windows anything.
sleep $(( kib * 1024 / 11520 - 2 ))
t2=$(date +%s.%N); c2=$(cpu_ticks)
drv watch 120000 >/dev/null
drv_saw 'box "Success"' >/dev/null || { echo "bench: the Upgrade did not succeed"; exit 1; }

awk -v arch="$FW_WIN_ARCH" -v hz="$hz" -v t0="$t0" -v t1="$t1" -v t2="$t2" -v c0="$c0" -v c1="$c1" -v c2="$c2" 'BEGIN {
  printf "FirmwareUpdate.exe CPU over a paced Upgrade (%s)\n", arch
  printf "  erase:    %5.2f s CPU in %5.1f s = %5.2f%% of a core\n", (c1-c0)/hz, t1-t0, 100*(c1-c0)/hz/(t1-t0)
  printf "  transfer: %5.2f s CPU in %5.1f s = %5.2f%% of a core\n", (c2-c1)/hz, t2-t1, 100*(c2-c1)/hz/(t2-t1)
  printf "  both:     %5.2f s CPU in %5.1f s = %5.2f%% of a core\n", (c2-c0)/hz, t2-t0, 100*(c2-c0)/hz/(t2-t0)
}'
drv answer ok 5000 >/dev/null
e2e_app_exit >/dev/null
