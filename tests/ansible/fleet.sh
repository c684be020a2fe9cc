#!/usr/bin/env bash
# The example rollout playbook over four machines at ansible_connection=local, each with
# its own simulated modem (one modem-sim serves the four ports), with the collection
# installed from its built tarball as Galaxy would, and, where the package is built and
# this runs as root, orvane-fwupdate installed through the role's apt step:
#   fleet.sh WORKDIR     FWUPDATE, MODEM_SIM name the programs; FW_PACKAGES (the folder of
#                        scripts/package) and FW_VERSION find the package; exit 0 when all
#                        checks hold
# A package this test installed is purged at its end. Every line of fwupdate's JSON that
# the module read is checked against the schema the package installed.
set -uo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
source "$SRC/tests/e2e/lib/image.sh"
source "$SRC/scripts/lib/modem-sim.sh"

WORK=$1
rm -rf "$WORK" && mkdir -p "$WORK" || exit 1
cd "$WORK" || exit 1
FAILED=0
fail() { echo "FAIL: $*"; FAILED=1; }

# The package of this machine's architecture, when scripts/package built it and apt may
# install it here.
deb=${FW_PACKAGES:-$SRC/build/packages}/orvane-fwupdate_${FW_VERSION:-}_$(dpkg --print-architecture 2>/dev/null).deb
purge=
if [ -f "$deb" ] && [ "$(id -u)" = 0 ]; then
  dpkg -s orvane-fwupdate >/dev/null 2>&1 || purge=1
  program=/usr/bin/fwupdate
  schema=/usr/share/doc/orvane-fwupdate/fwupdate-events.schema.json
  echo "== the package: $deb, installed by the role"
else
  deb=
  program=$FWUPDATE
  schema=$SRC/docs/fwupdate-events.schema.json
  echo "== no package installed (no $deb, or not root): the build's $FWUPDATE"
fi
trap 'sim_stop; wait 2>/dev/null; [ -z "$purge" ] || dpkg --purge orvane-fwupdate >/dev/null' EXIT

# The module runs this wrapper, which keeps a copy of fwupdate's JSON for the schema check.
mkdir -p events
cat >fwupdate-tee <<SH
#!/usr/bin/env bash
"$program" "\$@" > >(tee -a "$WORK/events/\$\$.jsonl")
SH
chmod +x fwupdate-tee

# The collection as users get it: built into a tarball and installed from it, outside the
# source tree; the example playbook beside it.
ansible-galaxy collection build "$SRC/ansible/ansible_collections/orvane/modem" \
  --output-path "$WORK" >galaxy.out 2>&1 &&
  ansible-galaxy collection install "$WORK"/orvane-modem-*.tar.gz -p "$WORK/collections" \
    >>galaxy.out 2>&1 || { cat galaxy.out; exit 1; }
tar -tzf "$WORK"/orvane-modem-*.tar.gz >tarball.list
for f in roles/fwupdate_rollout/meta/argument_specs.yml plugins/modules/fwupdate_info.py \
         plugins/module_utils/fwupdate_json.py LICENSE; do
  grep -qxF "$f" tarball.list || fail "the collection tarball lacks $f"
done
grep -q '^tests/' tarball.list && fail "the collection tarball holds the tests"
cp "$SRC/ansible/rollout.yml" .
cat >ansible.cfg <<CFG
[defaults]
collections_path = $WORK/collections
callbacks_enabled = orvane.modem.fwupdate_report
retry_files_enabled = false
CFG
export ANSIBLE_CONFIG=$WORK/ansible.cfg ANSIBLE_HOME=$WORK/ansible-home
export ANSIBLE_LOCAL_TEMP=$WORK/ansible-tmp ANSIBLE_REMOTE_TMP=$WORK/ansible-tmp
export ANSIBLE_NOCOLOR=1 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3

make_image img.bin 70000
# m1 installs the package: all four machines are this one, whose dpkg takes one at a time.
hosts() {
  local i
  for i in 1 2 3 4; do echo "m$i fwupdate_rollout_ports=$WORK/links/COM$i"; done |
    sed "/^m1 /s|\$| fwupdate_rollout_deb=$deb|"
}
vars() {
  cat <<INI

[modems:vars]
ansible_connection=local
rollout_become=false
fwupdate_rollout_image=$WORK/img.bin
fwupdate_rollout_image_dest=$WORK/{{ inventory_hostname }}/img.bin
fwupdate_rollout_executable=$WORK/fwupdate-tee
INI
}
{ echo "[modems]"; hosts; vars; } >inventory.ini

# modems NAME KEYS...: a fresh modem-sim for COM1..COM4 (KEYS: COMn's extra keys or "-"),
# links in links/, its log NAME/sim.log, what each got in NAME/record/.
modems() {
  local name=$1 ports=() i
  shift
  for i in 1 2 3 4; do
    local keys=${1:--}
    shift
    ports+=("COM$i:erase=300,times=1${keys/#-/}")
  done
  mkdir -p links && sim_start "$name" --link-dir links "${ports[@]}" || exit 1
}

# play NAME ARGS...: the example playbook; NAME.out and NAME.rc.
play() {
  local name=$1
  shift
  FWUPDATE_REPORT_FILE=$WORK/$name.report \
    ansible-playbook -i "${INVENTORY:-inventory.ini}" rollout.yml "$@" >"$name.out" 2>&1
  echo $? >"$name.rc"
  echo "== ansible-playbook $* ($name, status $(cat "$name.rc"))"
  sed -n '/^PLAY RECAP/,$p' "$name.out"
}

# recap NAME HOST CHANGED FAILED: HOST's counts in NAME's recap (CHANGED a regex).
recap() {
  grep -qE "^$2 +:.* changed=$3 .* failed=$4 " "$1.out" ||
    fail "$1: $2 not changed=$3 failed=$4: $(grep -E "^$2 " "$1.out")"
}

# erased NAME: a modem of NAME's modem-sim got the erase command.
erased() { grep -E "^COM. command [0-9]+ ms: (AT\+F56|y$)" "$1/sim.log"; }

modems rollout - - - -
play first
[ "$(cat first.rc)" = 0 ] || fail "first run failed: $(cat first.out)"
for i in 1 2 3 4; do
  recap first "m$i" "[1-9]" 0
  cmp -s img.bin "rollout/record/COM$i.bin" || fail "COM$i did not receive exactly the image"
  grep -qF "m$i $WORK/links/COM$i: done, status 0, flash written:" first.out ||
    fail "first: no report of m$i"
done
if [ -n "$deb" ]; then
  [ "$(dpkg-query -W -f='${Version}' orvane-fwupdate 2>/dev/null)" = "$FW_VERSION" ] ||
    fail "the role did not install orvane-fwupdate $FW_VERSION"
  left=$(find /tmp -maxdepth 2 -name 'orvane-fwupdate_*.deb' 2>/dev/null)
  [ -z "$left" ] || fail "the package was left in /tmp: $left"
  # The installed program as Debian would check it (control flow marking: see
  # packaging/check_packages.sh).
  if command -v hardening-check >/dev/null; then
    hardening-check --nocfprotection /usr/bin/fwupdate || fail "hardening-check /usr/bin/fwupdate"
  fi
fi

mv rollout/record first.record && mkdir rollout/record
play second
[ "$(cat second.rc)" = 0 ] || fail "second run failed: $(cat second.out)"
for i in 1 2 3 4; do
  recap second "m$i" 0 0
  grep -qF "m$i $WORK/links/COM$i: current, status 0, flash untouched:" second.out ||
    fail "second: m$i not current"
done
find rollout/record -type f -size +0 | grep -q . && fail "the second run sent image bytes"

# The package stays installed; the runs below go faster without the apt step.
deb=
{ echo "[modems]"; hosts; vars; } >inventory.ini

# The info module reads the new versions and changes nothing.
ansible -i inventory.ini m1 -m orvane.modem.fwupdate_info \
  -a "port=$WORK/links/COM1 executable=$WORK/fwupdate-tee" >info.out 2>&1 ||
  fail "fwupdate_info failed: $(cat info.out)"
grep -qF '"changed": false' info.out && grep -qF '"controller_version": "2.20"' info.out ||
  fail "fwupdate_info: $(cat info.out)"

# Check mode against the updated modems: fwupdate's dry run finds them current.
play check_current --check
[ "$(cat check_current.rc)" = 0 ] || fail "check mode failed: $(cat check_current.out)"
for i in 1 2 3 4; do
  recap check_current "m$i" 0 0
  grep -qF "m$i $WORK/links/COM$i: current, status 0, flash untouched:" check_current.out ||
    fail "check_current: m$i not current"
done
find rollout/record -type f -size +0 | grep -q . && fail "check mode sent image bytes"

# A port that cannot be opened fails the machine, its flash reported untouched.
play missing -l m1 -e "fwupdate_rollout_ports=$WORK/links/COM9"
[ "$(cat missing.rc)" = 0 ] && fail "the run with a missing port succeeded"
recap missing m1 0 1
grep -qF "m1 $WORK/links/COM9: cant_open_port, status 3, flash untouched:" missing.out ||
  fail "missing: no cant_open_port report"

# Check mode against modems with the old firmware: it says what would change and the modems
# get no erase, no image.
modems check - - - -
play check --check --diff
grep -qF -- "-controller_version: 2.10" check.out &&
  grep -qF -- "+controller_version: 2.20" check.out ||
  fail "check --diff shows no versions before and after: $(cat check.out)"
[ "$(cat check.rc)" = 0 ] || fail "check mode failed: $(cat check.out)"
for i in 1 2 3 4; do
  recap check "m$i" "[1-9]" 0
  grep -qF "m$i $WORK/links/COM$i: would_update, status 0, flash untouched:" check.out ||
    fail "check: m$i not would_update"
done
erased check && fail "check mode erased a modem"
find check/record -type f -size +0 | grep -q . && fail "check mode sent image bytes"

# The second machine's modem never says READY: one machine at a time, no failure allowed.
# The rollout stops there, the third and fourth modems are never asked.
modems stop - ,no-ready=1 - -
play stop -e rollout_serial=1
[ "$(cat stop.rc)" = 0 ] && fail "the failing rollout succeeded"
recap stop m1 "[1-9]" 0
grep -qE "^m2 +:.* failed=1 " stop.out || fail "m2 did not fail: $(cat stop.out)"
grep -qE "^m[34] " stop.out && fail "the rollout went on past m2"
cmp -s img.bin stop/record/COM1.bin || fail "COM1 did not receive exactly the image"
erased stop | grep -q "^COM[34]" && fail "COM3 or COM4 was erased"
grep -qE "^COM[34] command" stop/sim.log && fail "COM3 or COM4 was asked: $(cat stop/sim.log)"
grep -qF "m2 $WORK/links/COM2: not_ready, status 9, flash may_be_erased:" stop.out ||
  fail "the report names no failure"
grep -qF "m3: not reached" stop.out && grep -qF "m4: not reached" stop.out ||
  fail "the report does not name m3 and m4 as not reached"

# The report names every machine: two updated, then in the second batch one unreachable
# (nothing listens on port 9) and one that failed before the update (its image is missing),
# which stop the rollout before the last; in its files too.
modems report - - - -
{ echo "[modems]"; hosts | grep -E '^m[23] '
  echo "u0 ansible_connection=ssh ansible_host=127.0.0.1 ansible_port=9"
  hosts | sed -n "/^m1 /s|\$| fwupdate_rollout_image=$WORK/missing.bin|p"
  hosts | grep '^m4 '; vars; } >report.ini
INVENTORY=report.ini play report
[ "$(cat report.rc)" = 0 ] && fail "the run with an unreachable machine succeeded"
/usr/bin/python3 - report.report <<'PY' || fail "report: $(cat report.report.json)"
import csv, json, sys
base = sys.argv[1]
rows = json.load(open(base + '.json'))
got = [(r['host'], r['result']) for r in rows]
assert got == [('m2', 'updated'), ('m3', 'updated'), ('u0', 'unreachable'),
               ('m1', 'failed_before_update'), ('m4', 'not_reached')], got
assert [(r['host'], r['result']) for r in csv.DictReader(open(base + '.csv'))] == got
PY
grep -qE "^u0: unreachable" report.out || fail "the printed report does not name u0"

# Every JSON line fwupdate wrote to the module matches the schema installed with it.
ls events/*.jsonl >/dev/null 2>&1 || fail "the module ran no fwupdate"
/usr/bin/python3 "$SRC/tests/support/validate_events.py" "$schema" events >events.check ||
  fail "events against $schema: $(cat events.check)"
cat events.check

[ "$FAILED" = 0 ] && echo "ansible fleet: all checks hold"
exit "$FAILED"
