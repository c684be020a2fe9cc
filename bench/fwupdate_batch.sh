#!/usr/bin/env bash
# Benchmark, not a test: one fwupdate updating eight modem-sims at once.
#   1. paced at 115200 baud, a 256 KiB image each: the aggregate transfer rate against
#      8 x 11,520 B/s, and fwupdate's CPU over the whole run as a share of one core;
#   2. unpaced (the line's speed does not change what is held), 256 KiB and 4 MiB images:
#      fwupdate's peak memory, which should grow by the one shared copy of the image only.
#   bench/fwupdate_batch.sh [BUILD_DIR]     (default build/native)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
bench_begin fwupdate-batch-bench "${1:-}"

PORTS=8

# run KEYS SIZE: eight modem-sims with port keys KEYS, one fwupdate over them all with an
# image of SIZE bytes. Leaves stamped.txt (each JSON line with its time), time.txt, status.
run() {
  local keys=$1 size=$2 args=() i
  make_image img.bin "$size"
  for i in $(seq 1 $PORTS); do args+=("COM$i:erase=300$keys"); done
  sim_start . --max-seconds 900 "${args[@]}" || exit 1
  local ports=()
  for i in $(seq 1 $PORTS); do ports+=(--port "$(sim_pty "COM$i")"); done
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$FWUPDATE" upgrade img.bin "${ports[@]}" --yes \
    --json </dev/null 2>fw.err |
    while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done >stamped.txt
  status=${PIPESTATUS[0]}
  received=0
  for i in $(seq 1 $PORTS); do cmp -s img.bin "record/COM$i.bin" && received=$((received + 1)); done
  sim_stop
}

SIZE=$((256 * 1024))
echo "fwupdate upgrade of $PORTS ports at once, $SIZE bytes each, modem-sim pace=1"
run ",pace=1" "$SIZE"
read -r wall user sys peak <time.txt
# The transfer: from the first port's "phase transfer" to the last port's last progress.
start=$(grep -F '"phase":"transfer","total"' stamped.txt | awk 'NR == 1 {print $1}')
end=$(grep -F "\"phase\":\"transfer\",\"done\":$SIZE," stamped.txt | awk '{t = $1} END {print t}')
# The last bytes are still in the line's buffers when fwupdate has written them: the last
# final answer, less the modem's 500 ms of silence before it, marks the end on its side.
answer=$(grep -F '"event":"port_done"' stamped.txt | awk '{t = $1} END {print t}')
awk -v s="$start" -v e="$end" -v a="$answer" -v size="$SIZE" -v n="$PORTS" -v wall="$wall" -v user="$user" \
    -v sys="$sys" -v status="$status" -v received="$received" 'BEGIN {
  printf "  exit status %d, %d of %d modems received every byte\n", status, received, n
  rate = n * size / (e - s)
  printf "  transfer %.1f s, aggregate %.0f B/s against %d x 11,520 = %d B/s: ratio %.3f\n",
    e - s, rate, n, n * 11520, rate / (n * 11520)
  rate = n * size / (a - 0.5 - s)
  printf "  to the last final answer less 500 ms: %.1f s, aggregate %.0f B/s: ratio %.3f\n",
    a - 0.5 - s, rate, rate / (n * 11520)
  printf "  whole run %.1f s wall, fwupdate CPU %.2f s (user %.2f + system %.2f) = %.2f%% of one core\n",
    wall, user + sys, user, sys, 100 * (user + sys) / wall
}'

for size in $((256 * 1024)) $((4 * 1024 * 1024)); do
  run "" "$size"
  read -r wall user sys peak <time.txt
  printf '  unpaced, %d bytes each: exit status %d, %d of %d received, peak memory %d KiB\n' \
    "$size" "$status" "$received" "$PORTS" "$peak"
done
