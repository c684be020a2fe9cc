# What a Wine program costs, counted from outside it, for bench/wine_upgrade_cpu.sh. Source it.
#   wc_pid EXE              pid of the Wine process that runs EXE (not the timeout around it)
#   wc_mark FILE NAME PID   appends a line: NAME, time, CPU ticks of PID, of the wineserver
#                           and of Xvfb, and PID's context switches (all its threads)
#   wc_trace_start PID LOG  strace of every thread of PID, every call, fds named (-yy)
#   wc_trace_stop           ends it
#   wc_peers PID            the pipe and socket inodes PID holds, one a line ("pipe 123")

wc_pid() {
  local pid
  for pid in $(pgrep -f -- "$1"); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = timeout ] || { echo "$pid"; return 0; }
  done
  return 1
}

wc_ticks() {
  local pid total=0
  for pid in "$@"; do
    [ -n "$pid" ] || continue
    total=$((total + $(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}

# Voluntary and involuntary switches of every thread: how often the program wakes.
wc_switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'
}

wc_wineserver() { pgrep -x -n "wineserver64" || pgrep -x -n wineserver; }

wc_mark() {
  echo "$2 $(date +%s.%N) $(wc_ticks "$3") $(wc_ticks "$(wc_wineserver)") $(wc_ticks "${FW_XVFB_PID:-}") $(wc_switches "$3")" >>"$1"
}

wc_trace_start() {
  strace -f -qq -yy -ttt -o "$2" -p "$1" 2>/dev/null &
  WC_TRACE_PID=$!
  sleep 1  # attached to every thread before anything is counted
}

wc_trace_stop() {
  [ -n "${WC_TRACE_PID:-}" ] || return 0
  kill -INT "$WC_TRACE_PID" 2>/dev/null
  wait "$WC_TRACE_PID" 2>/dev/null
  WC_TRACE_PID=""
}

wc_peers() {
  local link
  for link in /proc/"$1"/fd/*; do
    link=$(readlink "$link" 2>/dev/null) || continue
    case "$link" in
      pipe:*) echo "pipe ${link//[!0-9]/}" ;;
      socket:*) echo "socket ${link//[!0-9]/}" ;;
    esac
  done
}
