# The shell benchmarks' common start. Source it, then:
#   bench_begin NAME [BUILD_DIR]   (default build/native) FWUPDATE and MODEM_SIM from the
#                                  build, a scratch folder WORK to work in, removed at exit
#                                  with modem-sim ended; make_image and sim_start ready
SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$SRC/tests/e2e/lib/image.sh"
source "$SRC/scripts/lib/modem-sim.sh"

bench_begin() {
  local build f
  build=$(cd "${2:-$SRC/build/native}" && pwd) || exit 1
  FWUPDATE=$build/cli/fwupdate
  MODEM_SIM=$build/sim/modem-sim
  for f in "$FWUPDATE" "$MODEM_SIM" /usr/bin/time; do
    [ -x "$f" ] || { echo "missing $f (build the native preset; apt-get install time)"; exit 1; }
  done
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX") || exit 1
  trap 'sim_stop; wait 2>/dev/null; rm -rf "$WORK"' EXIT
  cd "$WORK" || exit 1
}
