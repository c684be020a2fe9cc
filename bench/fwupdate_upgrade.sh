#!/usr/bin/env bash
# Benchmark, not a test: fwupdate upgrade --yes of a 1 MiB image against modem-sim paced at
# 115200 baud. Prints the transfer time against the line's own (1 MiB / 11,520 B/s) and
# the CPU time fwupdate used over the whole upgrade, as a share of its wall time.
#   bench/fwupdate_upgrade.sh [BUILD_DIR]     (default build/native)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
bench_begin fwupdate-bench "${1:-}"

SIZE=$((1024 * 1024))
make_image img.bin "$SIZE"
sim_start . --max-seconds 600 COM3:pace=1 || exit 1
PTY=$PTY_COM3

echo "fwupdate upgrade --yes, $SIZE bytes, modem-sim pace=1 on $PTY"
# Every output line stamped as it comes; fwupdate writes each at once.
/usr/bin/time -f '%e %U %S' -o time.txt "$FWUPDATE" upgrade --port "$PTY" img.bin --yes </dev/null |
  while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done >stamped.txt
status=${PIPESTATUS[0]}

start=$(awk '$2 == "Updating..." && NF == 2 {print $1; exit}' stamped.txt)
end=$(awk '$2 == "Updating..." && $3 == "100%" {print $1; exit}' stamped.txt)
# The last block is out of fwupdate's hands before the modem has read it all: its final
# answer (after its 500 ms of silence) marks the end on the modem's side.
answer=$(awk '/updated successfully/ {print $1; exit}' stamped.txt)
read -r wall user sys <time.txt
cmp -s img.bin record/COM3.bin && received="every byte received" || received="IMAGE DIFFERS"
awk -v s="$start" -v e="$end" -v a="$answer" -v size="$SIZE" -v wall="$wall" -v user="$user" -v sys="$sys" \
    -v status="$status" -v received="$received" 'BEGIN {
  line = size / 11520
  printf "  exit status %d, %s\n", status, received
  if (s != "" && e != "")
    printf "  transfer %.1f s, line minimum %.1f s (1 MiB / 11,520 B/s), ratio %.3f\n", e - s, line, (e - s) / line
  if (s != "" && a != "")
    printf "  to the modem'"'"'s final answer %.1f s (its 500 ms of silence included), ratio %.3f\n", a - s, (a - s) / line
  printf "  whole upgrade %.1f s wall, fwupdate CPU %.2f s (user %.2f + system %.2f) = %.2f%% of wall\n",
    wall, user + sys, user, sys, 100 * (user + sys) / wall
}'
grep -F 'Updating... 100%' stamped.txt | cut -d' ' -f2-
[ "$status" = 0 ] && [ "$received" = "every byte received" ]
