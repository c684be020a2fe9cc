#!/usr/bin/env bash
# Benchmark, not a test: a station of 32 ports, four modems each coming and going, one in
# twenty never saying READY, paced at 115200 baud. Prints
#   - throughput against the ideal: each unit's time from its arrival to its end, against
#     the time a flash takes at line rate with the protocol's waits (the fastest unit's
#     waits plus its image at 11,520 B/s); the goal is 0.95 or more;
#   - fwupdate's CPU over the run as a share of one core (goal: under 1%);
#   - its memory (VmRSS) when the first unit ends and when the last one does (flat).
#   bench/fwupdate_station.sh [BUILD_DIR] [PORTS] [UNITS]   (default build/native 32 4)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
bench_begin fwupdate-station-bench "${1:-}"

PORTS=${2:-32}
UNITS=${3:-4}
SIZE=$((128 * 1024))
make_image img.bin "$SIZE"
args=()
for i in $(seq 1 "$PORTS"); do
  keys="erase=1000,pace=1,units=$UNITS,stay=45000,gap=4000"
  # One unit in twenty fails: the (i % 5 + 1)-th unit of every fifth port.
  [ $((i % 5)) = 0 ] && keys="$keys,never-ready=$((i / 5 % UNITS + 1))"
  args+=("COM$i:$keys")
done
sim_start . --max-seconds 1800 "${args[@]}" || exit 1
sim_epoch=$EPOCHREALTIME
ports=()
for i in $(seq 1 "$PORTS"); do ports+=(--port "$(sim_pty "COM$i")"); done
echo "fwupdate station: $PORTS ports x $UNITS units, $SIZE bytes each, modem-sim pace=1"
/usr/bin/time -f '%e %U %S' -o time.txt "$FWUPDATE" station img.bin "${ports[@]}" --yes --json \
  --no-history --max-units $((PORTS * UNITS)) </dev/null 2>fw.err >events.jsonl &
pid=$!
# fwupdate's RSS every second, with the number of units ended by then.
: >rss.txt
while kill -0 "$pid" 2>/dev/null; do
  fw=$(pgrep -P "$pid" -x fwupdate || echo "$pid")
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$fw/status" 2>/dev/null)
  [ -n "$rss" ] && echo "$(grep -c '"port_done"' events.jsonl) $rss" >>rss.txt
  sleep 1
done
wait "$pid"
status=$?
sim_stop
python3 - "$sim_epoch" "$SIZE" "$status" sim.log events.jsonl time.txt rss.txt <<'PY'
import datetime, json, re, sys
epoch, size, status = float(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
sim, events, timing, rss = sys.argv[4:8]
ptys = {}
arrive = {}
for line in open(sim):
    m = re.match(r"(COM\d+) (/dev/\S+)$", line.strip())
    if m:
        ptys[m.group(2)] = m.group(1)
    m = re.match(r"(COM\d+) unit (\d+) arrives at (\d+) ms", line)
    if m:
        arrive[(m.group(1), int(m.group(2)))] = epoch + int(m.group(3)) / 1000
def wall(text):
    return datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S.%fZ").replace(
        tzinfo=datetime.timezone.utc).timestamp()
done = [e for e in map(json.loads, open(events)) if e["event"] == "port_done"]
start = min(wall(e["time"]) for e in done) - 30
passed = [e for e in done if e["outcome"] == "done"]
waits = min(e["query_ms"] + e["consent_ms"] + e["erase_ms"] + e["final_ms"] for e in passed) / 1000
ideal = waits + size / 11520
actual = ideal_sum = 0
for e in passed:
    port = ptys[e["port"]]
    came = arrive.get((port, e["unit"]), epoch)  # the first unit is there from the start
    actual += wall(e["time"]) - came
    ideal_sum += ideal
print("  exit status %d; %d units: %d passed, %d failed" % (
    status, len(done), len(passed), len(done) - len(passed)))
print("  ideal per unit %.1f s (waits %.1f s + %d B at 11,520 B/s); arrival to end, mean %.1f s"
      % (ideal, waits, size, actual / len(passed)))
print("  throughput against the ideal: %.3f (goal >= 0.95)" % (ideal_sum / actual))
# A station must ask a port before it flashes: one version query (its own waits, some 2.2 s)
# belongs to every unit's ideal as well.
print("  counting one version query to find each unit: %.3f" % (
    (ideal_sum + 2.2 * len(passed)) / actual))
# time(1) puts "Command exited with non-zero status N" first when the status is not 0.
wall_s, user, sys_s = map(float, open(timing).read().splitlines()[-1].split())
print("  whole run %.0f s; fwupdate CPU %.2f s = %.2f%% of one core (goal < 1%%)" % (
    wall_s, user + sys_s, 100 * (user + sys_s) / wall_s))
samples = [tuple(map(int, l.split())) for l in open(rss) if l.strip()]
first = next((kib for n, kib in samples if n >= 1), None)
last = samples[-1][1] if samples else None
print("  VmRSS after the first unit %s KiB, at the end %s KiB" % (first, last))
PY
