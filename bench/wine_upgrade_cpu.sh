#!/usr/bin/env bash
# What FirmwareUpdate.exe costs over a paced Upgrade under Wine: a 512 KiB image to a
# simulated modem at 115200 baud (about 12 s of erase, then about 46 s of transfer), per
# phase, beside two baselines measured in the same run: the program open and idle, and a
# minimal dialog with a progress bar that does nothing (bench/win/minimal_dialog.exe).
#   pass 1, untouched: CPU of the program, of the wineserver and of Xvfb, and the
#     program's context switches (its threads' wakeups)
#   pass 2, under strace (which slows the program; its times are not used): system calls,
#     X11 writes (flushes of requests to the display socket), wineserver requests (writes
#     to the server's request pipes) and Xlib resource lookups (~/.Xdefaults-HOSTNAME opens)
# Figures, never a test: a shared machine makes them noisy; compare runs side by side.
# Nothing polls the program while it is measured.
# Usage: bench/wine_upgrade_cpu.sh [KiB]   (build the native and Windows presets first)
# BENCH_EXE=path measures another build of the program (the same Windows architecture).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib/session.sh"
source "$here/../tests/e2e/lib/image.sh"
source "$here/wine_counts.sh"
kib=${1:-512}
idle_s=12            # each baseline lasts as long as the erase's window
erase_s=12           # warning answered -> reset, prompt, 10 s of erase
transfer_s=$((kib * 1024 / 11520 - 3))
[ "$transfer_s" -ge 2 ] || { echo "bench: an image of 64 KiB or more, please"; exit 1; }
export DRV_QUIET=1

e2e_begin "$(mktemp -d /tmp/fw-cpu.XXXXXX)" >/dev/null || exit 1
FW_EXE=${BENCH_EXE:-$FW_EXE}
MINIMAL=$FW_WIN_BUILD/bench/win/minimal_dialog.exe
[ -f "$MINIMAL" ] || { echo "bench: missing $MINIMAL (build the Windows preset)"; exit 1; }
tracing=1
if ! command -v strace >/dev/null; then
  echo "bench: no strace, so no counts of calls (Debian: apt-get install strace)"
  tracing=0
fi
image=$E2E_WORK/bench.bin
make_image "$image" $((kib * 1024))
out=$E2E_WORK/counts
mkdir -p "$out"

# The inodes through which the program talks to the wineserver and to Xvfb.
peers() {
  { wc_peers "$(wc_wineserver)" | awk '$1 == "pipe" { print "server", $0 }'
    wc_peers "$FW_XVFB_PID" | awk '$1 == "socket" { print "x11", $0 }'; } | sort -u
}

# One Upgrade with the program idle before it; marks in $out/$1.marks, a log when traced.
upgrade_pass() {
  local pass=$1 pid marks=$out/$1.marks
  e2e_sim_start "COM3:pace=1" || return 1
  e2e_app_start "$E2E_WORK" >/dev/null || return 1
  { drv select 1000 2 && drv click 1006 && drv open-file "Z:${image//\//\\}" 20000 &&
    drv idle 10000; } >"$E2E_WORK/drv.log" ||
    { cat "$E2E_WORK/drv.log"; echo "bench: could not open the image"; return 1; }
  pid=$(wc_pid "$FW_EXE") || { echo "bench: no process for $FW_EXE"; return 1; }
  [ "$pass" = traced ] && wc_trace_start "$pid" "$out/$pass.log"
  wc_mark "$marks" idle "$pid"
  sleep "$idle_s"
  wc_mark "$marks" gap "$pid"
  { drv click 1007 && drv answer ok 60000 && drv answer ok 30000; } >"$E2E_WORK/drv.log" ||
    { cat "$E2E_WORK/drv.log"; echo "bench: could not start the Upgrade"; return 1; }
  wc_mark "$marks" erase "$pid"
  sleep "$erase_s"
  wc_mark "$marks" transfer "$pid"
  sleep "$transfer_s"
  wc_mark "$marks" end "$pid"
  [ "$pass" = traced ] && { peers >"$out/$pass.peers"; wc_trace_stop; }
  drv watch 120000 >/dev/null
  drv_saw 'box "Success"' >/dev/null || { echo "bench: the Upgrade did not succeed"; return 1; }
  drv answer ok 5000 >/dev/null
  e2e_app_exit >/dev/null
  e2e_sim_stop
}

# The minimal dialog, open for as long as the idle baseline.
minimal_pass() {
  local pass=$1 pid marks=$out/$1-minimal.marks job i
  (cd "$E2E_WORK" && exec timeout "$FW_WINE_TIMEOUT" "$FW_WINE_LOADER" "$MINIMAL") &
  job=$!
  for i in $(seq 1 100); do pid=$(wc_pid "$MINIMAL") && break; sleep 0.1; done
  sleep 3  # shown and settled
  [ "$pass" = traced ] && wc_trace_start "$pid" "$out/$pass-minimal.log"
  wc_mark "$marks" minimal "$pid"
  sleep "$idle_s"
  wc_mark "$marks" end "$pid"
  [ "$pass" = traced ] && { peers >"$out/$pass-minimal.peers"; wc_trace_stop; }
  kill "$pid" 2>/dev/null
  wait "$job" 2>/dev/null
}

upgrade_pass clean || exit 1
minimal_pass clean
if [ "$tracing" = 1 ]; then
  upgrade_pass traced || exit 1
  minimal_pass traced
fi

# One table: the untouched pass's time and CPU, the traced pass's counts, per second.
hz=$(getconf CLK_TCK)
counts() {
  [ -f "$out/$1.log" ] && awk -f "$here/strace_counts.awk" "$out/$1.peers" "$out/$1.marks" "$out/$1.log"
}
{
  cat "$out/clean.marks" "$out/clean-minimal.marks" | awk '{ print "clean", $0 }'
  { counts traced; counts traced-minimal; } | awk '{ print "traced", $0 }'
} >"$out/table.in"
awk -v hz="$hz" -v arch="$FW_WIN_ARCH" -v kib="$kib" '
  BEGIN { nc = 0 }
  $1 == "clean" && NF == 7 { nm[nc] = $2; t[nc] = $3; cp[nc] = $4; cw[nc] = $5; cx[nc] = $6; sw[nc] = $7; nc++ }
  $1 == "traced" { secs[$2] = $3; calls[$2] = $4; x11[$2] = $5; srv[$2] = $6; xdef[$2] = $7 }
  END {
    printf "FirmwareUpdate.exe over a paced Upgrade of %d KiB (%s); per second of each phase\n", kib, arch
    printf "%-9s %5s %6s %6s %6s %8s | %8s %6s %8s %6s\n", "phase", "s", "cpu%", "wsrv%", "Xvfb%",
      "ctxsw/s", "calls/s", "X11/s", "srvreq/s", "Xres/s"
    for (i = 0; i + 1 < nc; i++) {
      if (nm[i] == "end" || nm[i] == "gap") continue
      d = t[i + 1] - t[i]
      printf "%-9s %5.1f %6.2f %6.2f %6.2f %8.1f |", nm[i], d, 100 * (cp[i + 1] - cp[i]) / hz / d,
        100 * (cw[i + 1] - cw[i]) / hz / d, 100 * (cx[i + 1] - cx[i]) / hz / d, (sw[i + 1] - sw[i]) / d
      if (secs[nm[i]] > 0) {
        s = secs[nm[i]]
        printf " %8.1f %6.1f %8.1f %6.1f", calls[nm[i]] / s, x11[nm[i]] / s, srv[nm[i]] / s, xdef[nm[i]] / s
      }
      printf "\n"
    }
    # The line takes 11520 bytes a second: 11.25 blocks; the erase steps ten times a second.
    for (ph in secs) if (ph == "erase" || ph == "transfer") {
      per = ph == "erase" ? 10 : 11520 / 1024
      printf "  a%s %s: %.1f calls, %.2f X11 writes, %.1f server requests, %.2f Xlib lookups\n",
        ph == "erase" ? "n" : "", ph == "erase" ? "erase step" : "block", calls[ph] / secs[ph] / per,
        x11[ph] / secs[ph] / per, srv[ph] / secs[ph] / per, xdef[ph] / secs[ph] / per
    }
    print "  cpu%: of one core; wsrv%, Xvfb%: the wineserver and the X server meanwhile;"
    print "  ctxsw/s: the threads'"'"' context switches; right of |: from the strace pass (calls,"
    print "  X11 writes to the display, wineserver requests, Xlib resource lookups)"
  }' "$out/table.in"
[ -n "${BENCH_KEEP:-}" ] && cp -r "$out" "$BENCH_KEEP"
