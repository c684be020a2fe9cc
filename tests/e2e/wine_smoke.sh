#!/usr/bin/env bash
# The updater starts under Wine in a fresh prefix and shows its main dialog as built:
# caption, port list, buttons, About box, Exit; then Find with a simulated modem on COM3.
# Usage: wine_smoke.sh OUTDIR   (screenshots and logs go there)
set -uo pipefail
source "$(dirname "$0")/lib/session.sh"

fails=0
check() {  # check WHAT COMMAND...: runs a check, counts a failure
  local what=$1
  shift
  if "$@"; then echo "  PASS $what"; else echo "  FAIL $what"; fails=$((fails + 1)); fi
}

e2e_begin "${1:-smoke-out}" || exit 1
e2e_sim_start "COM3"
echo "== start"
e2e_app_start "$E2E_WORK" || exit 1
check "caption" drv_saw "main \"$MAIN_CAPTION\""
drv combo 1000
check "ports COM1..COM8, COM1 selected" drv_saw \
  'combo 1000 sel=0 "COM1" "COM2" "COM3" "COM4" "COM5" "COM6" "COM7" "COM8"'
drv enabled 1007
check "Upgrade disabled" drv_saw "enabled 1007 0"
drv text 1004
check "file name empty" drv_saw 'text 1004 ""'
drv enabled 1004
check "file name field disabled" drv_saw "enabled 1004 0"
for id in 1 1002 1006; do
  drv enabled $id
  check "button $id enabled" drv_saw "enabled $id 1"
done
e2e_shot main-dialog
check "Upgrade cannot be pressed" eval '! drv click 1007'

echo "== About"
drv syscommand 0x10
check "About opens" drv watch 10000
check "About caption" drv_saw 'about "About Tessaro"'
e2e_shot about
drv close-about 5000
# The low four bits of the command are not looked at.
drv syscommand 0x1F
check "About opens for 0x1F too" drv watch 10000
check "About caption for 0x1F" drv_saw 'about "About Tessaro"'
drv close-about 5000

echo "== Find with a modem on COM3"
drv click 1002
check "Find runs to its end" drv watch 60000
check "status texts" drv_saw 'status "Query COM1..."' 'status "Query COM2..."' \
  'status "Query COM3..."' 'status "Found Orvane modem on COM3."'
check "the scan stops at COM3" drv_not_saw 'Query COM4'
drv combo 1000
check "COM3 selected" drv_saw 'combo 1000 sel=2'
check "no port left open" test -z "$(e2e_port_holders COM3)"

echo "== Exit"
check "Exit ends the process" e2e_app_exit

echo
if [ "$fails" -eq 0 ]; then echo "wine smoke test: all checks passed"; else echo "wine smoke test: $fails failed"; fi
[ "$fails" -eq 0 ]
