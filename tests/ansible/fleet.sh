#!/usr/bin/env bash
# The example rollout playbook over four machines at ansible_connection=local, each with
# its own simulated modem (one modem-sim serves the four ports):
#   fleet.sh WORKDIR     FWUPDATE, MODEM_SIM name the programs; exit 0 when all checks hold
# The role's install step is skipped (fwupdate is the build's), so nothing outside WORKDIR
# changes.
set -uo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
source "$SRC/tests/e2e/lib/image.sh"
source "$SRC/scripts/lib/modem-sim.sh"

WORK=$1
rm -rf "$WORK" && mkdir -p "$WORK" || exit 1
cd "$WORK" || exit 1
FAILED=0
trap 'sim_stop; wait 2>/dev/null' EXIT
fail() { echo "FAIL: $*"; FAILED=1; }

export ANSIBLE_CONFIG=$SRC/ansible/ansible.cfg ANSIBLE_HOME=$WORK/ansible-home
export ANSIBLE_LOCAL_TEMP=$WORK/ansible-tmp ANSIBLE_REMOTE_TMP=$WORK/ansible-tmp
export ANSIBLE_NOCOLOR=1 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3

make_image img.bin 70000
cat >inventory.ini <<INI
[modems]
m1 fwupdate_rollout_ports=$WORK/links/COM1
m2 fwupdate_rollout_ports=$WORK/links/COM2
m3 fwupdate_rollout_ports=$WORK/links/COM3
m4 fwupdate_rollout_ports=$WORK/links/COM4

[modems:vars]
ansible_connection=local
rollout_become=false
fwupdate_rollout_image=$WORK/img.bin
fwupdate_rollout_image_dest=$WORK/{{ inventory_hostname }}/img.bin
fwupdate_rollout_executable=$FWUPDATE
INI

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
  ansible-playbook -i inventory.ini "$SRC/ansible/rollout.yml" "$@" >"$name.out" 2>&1
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

mv rollout/record first.record && mkdir rollout/record
play second
[ "$(cat second.rc)" = 0 ] || fail "second run failed: $(cat second.out)"
for i in 1 2 3 4; do
  recap second "m$i" 0 0
  grep -qF "m$i $WORK/links/COM$i: current, status 0, flash untouched:" second.out ||
    fail "second: m$i not current"
done
find rollout/record -type f -size +0 | grep -q . && fail "the second run sent image bytes"

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
play check --check
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

[ "$FAILED" = 0 ] && echo "ansible fleet: all checks hold"
exit "$FAILED"
