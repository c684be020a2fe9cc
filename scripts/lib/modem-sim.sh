# Starts and ends modem-sim for the shell tests, the benchmarks and the run command.
# Source it, then:
#   sim_start OUTDIR [OPTION VALUE]... PORT...
#       $MODEM_SIM with --port PORT each (NAME[:key=value,...]) and the given modem-sim
#       options (--link-dir DIR, --max-seconds N; default 300 s). Its output goes to
#       OUTDIR/sim.log (SIM_LOG), what each modem receives to OUTDIR/record (SIM_RECORD,
#       emptied first). Returns once modem-sim says "ready" and every port's pty exists:
#       PTY_<NAME> holds each one, SIM_PID the process. Fails, with what modem-sim printed,
#       when it does not get there within 10 s.
#   sim_pty NAME        prints the pty of port NAME
#   sim_stop            ends modem-sim and reaps it; safe to call when none runs
# One modem-sim at a time per shell: sim_start ends the one before.

SIM_PID=${SIM_PID:-}

sim_start() {
  local out=${1:?sim_start OUTDIR PORT...} max=300 opts=() ports=() names=()
  shift
  while [ $# -gt 0 ]; do
    case "$1" in
      --max-seconds) max=${2:?sim_start: $1 needs a value}; shift 2 ;;
      --*) opts+=("$1" "${2:?sim_start: $1 needs a value}"); shift 2 ;;
      *) ports+=(--port "$1"); names+=("${1%%:*}"); shift ;;
    esac
  done
  sim_stop
  SIM_LOG=$out/sim.log
  SIM_RECORD=$out/record
  mkdir -p "$SIM_RECORD" && rm -f "$SIM_RECORD"/* || return 1
  "${MODEM_SIM:?MODEM_SIM names the modem-sim program}" --record-dir "$SIM_RECORD" \
    --max-seconds "$max" "${opts[@]}" "${ports[@]}" >"$SIM_LOG" 2>&1 &
  SIM_PID=$!
  sim_await_ready && sim_read_ptys "${names[@]}" && return 0
  echo "modem-sim did not start:" >&2
  sed 's/^/  modem-sim: /' "$SIM_LOG" >&2
  sim_stop
  return 1
}

# Waits (at most 10 s) for the "ready" that modem-sim prints once every pty is open.
sim_await_ready() {
  for _ in $(seq 1 200); do
    grep -qx ready "$SIM_LOG" && return 0
    sim_alive || break
    sleep 0.05
  done
  grep -qx ready "$SIM_LOG"
}

# Whether modem-sim still runs: an ended one stays a zombie until it is reaped.
sim_alive() {
  local state=""
  read -r _ _ state _ 2>/dev/null <"/proc/$SIM_PID/stat"
  [ -n "$state" ] && [ "$state" != Z ]
}

# Sets PTY_<NAME> from the "NAME /dev/pts/N" lines before "ready"; every port must have one.
sim_read_ptys() {
  local name dev
  for name in "$@"; do unset "PTY_$name"; done  # none left from the modem-sim before
  while read -r name dev; do
    [ "$name" = ready ] && break
    case "$dev" in /dev/*) printf -v "PTY_$name" %s "$dev" ;; esac
  done <"$SIM_LOG"
  for name in "$@"; do
    dev=PTY_$name
    if [ -z "${!dev:-}" ] || [ ! -e "${!dev}" ]; then
      echo "modem-sim: no pty for $name" >&2
      return 1
    fi
  done
}

sim_pty() {
  local v=PTY_$1
  printf '%s\n' "${!v:?no pty for port $1}"
}

# TERM lets modem-sim remove its links; one that does not end in 5 s is killed.
sim_stop() {
  [ -n "${SIM_PID:-}" ] || return 0
  kill "$SIM_PID" 2>/dev/null || true
  for _ in $(seq 1 100); do
    sim_alive || break
    sleep 0.05
  done
  sim_alive && { kill -KILL "$SIM_PID" 2>/dev/null || true; }
  wait "$SIM_PID" 2>/dev/null || true
  SIM_PID=""
  return 0
}
