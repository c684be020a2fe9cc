#!/usr/bin/env bash
# The whole road of a firmware update on FirmwareUpdate.exe under Wine, against modem-sim:
# Find, Open, Upgrade and its failure paths, each worked through the windows as a user
# would. One prefix for all scenarios; each gets its own simulator and program run.
# Usage: scenarios.sh OUTDIR [SCENARIO...]   (default: all; screenshots go to OUTDIR)
set -uo pipefail
source "$(dirname "$0")/lib/session.sh"
source "$(dirname "$0")/lib/image.sh"

# Texts the program shows, as windriver prints them (\n and \t escaped). The modem's dates
# keep the blank after "Date:" in its answer.
WARNING='box "Warning" "Please do not terminate the program or reset\nyour PC while updating. Otherwise, the modem\nmay not be able to work properply.\n\nDo you want to continue updating?" buttons=OK icon'
SUCCESS='box "Success" "The modem firmware has been updated successfully." buttons=OK no-icon'
CONSENT='box "Update Firmware" "Current firmware:\n\tController Ver: 2.10, Date:  03/15/02\n\tDSP Ver: 1.07, Date:  02/28/02\n\nNew firmware:\n\tController Ver: 2.20, Date: 04/01/03\n\tDSP Ver: 1.09, Date: 03/28/03\n\n\nContinue to update firmware ?" buttons=OK,Cancel icon'
QUERY_FAILED='box "Error" "Can'"'"'t query modem information.\n\n Upgrade stop !" buttons=OK icon'

# --- steps shared by the scenarios --------------------------------------------------------

win_path() { echo "Z:${1//\//\\}"; }

# Chooses an image through Open and the file dialog; Upgrade is enabled afterwards.
open_image() {
  drv click 1006 && drv open-file "$(win_path "$1")" 20000 || return 1
  drv text 1004 && drv_saw "text 1004 \"$(basename "$1")\"" || return 1
  drv enabled 1007 && drv_saw "enabled 1007 1"
}

# Port by its index in the list, as a user picks it.
choose_port() { drv select 1000 "$1" && drv combo 1000 && drv_saw "combo 1000 sel=$1"; }

# Presses Upgrade and watches up to the first box.
upgrade_to_box() { drv click 1007 && drv watch 60000; }

# After a failure the program is back in its resting state and takes the next action.
ready_again() {
  local name=$1
  drv idle 20000 || return 1
  drv enabled 1007 && drv_saw "enabled 1007 0" || return 1
  drv enabled 1002 && drv_saw "enabled 1002 1" || return 1
  drv text 1004 && drv_saw "text 1004 \"$name\"" || return 1
  open_image "$IMAGES/valid.bin"
}

# The simulator on COM3 received exactly the first N bytes of the image, and no more.
image_sent() {
  local n=$1 got=0
  [ -f "$E2E_RECORD/COM3.bin" ] && got=$(stat -c %s "$E2E_RECORD/COM3.bin")
  echo "  the modem received $got image bytes"
  [ "$got" -eq "$n" ] || return 1
  [ "$n" -eq 0 ] || cmp -n "$n" "$IMAGES/valid.bin" "$E2E_RECORD/COM3.bin"
}

# A failing Upgrade on COM3: the boxes, in order, then no success and the resting state.
#   failing_upgrade IMAGE SHOT EDIT-AFTER BOX...
failing_upgrade() {
  local image=$1 shot=$2 edit=$3 box
  shift 3
  choose_port 2 && open_image "$image" || return 1
  drv click 1007 || return 1
  for box in "$@"; do
    if [ "$box" = "$WARNING" ] || [ "$box" = "$CONSENT" ]; then
      drv watch 60000 && drv_saw "$box" && drv answer ok 5000 || return 1
      continue
    fi
    drv watch 90000 && drv_saw "$box" || return 1
    drv_not_saw "Success" || return 1
    e2e_shot "$shot"
    drv answer ok 5000 || return 1
  done
  ready_again "$edit"
}

# --- scenarios ----------------------------------------------------------------------------

scenario_find() {
  SIM_PORTS=("COM3" "COM5")
  run_app || return 1
  drv click 1002 && drv watch 60000 || return 1
  drv_saw 'status "Query COM1..."' 'status "Query COM3..."' \
    'status "Found Orvane modem on COM3."' || return 1
  drv_not_saw "COM4" "COM5" || return 1
  drv combo 1000 && drv_saw "combo 1000 sel=2" || return 1
  e2e_shot find-com3
  [ -z "$(e2e_port_holders COM3)" ] || { echo "  COM3 is still open"; return 1; }
}

scenario_find_none() {
  SIM_PORTS=()
  run_app || return 1
  drv select 1000 4 || return 1
  drv click 1002 && drv watch 60000 until-text "\"Can't found Orvane Modem.\"" || return 1
  drv_saw 'status "Query COM8..."' || return 1
  e2e_shot find-none
  drv watch 10000 && drv_saw idle || return 1
  # A scan that finds nothing leaves the choice as it was.
  drv combo 1000 && drv_saw "combo 1000 sel=4"
}

scenario_upgrade() {
  SIM_PORTS=("COM3:erase=500,pace=1")
  run_app || return 1
  drv click 1002 && drv watch 60000 && drv_saw 'status "Found Orvane modem on COM3."' ||
    return 1
  open_image "$IMAGES/valid.bin" || return 1
  drv click 1007 && drv watch 60000 || return 1
  drv_saw 'status "Read firmware file information..."' 'status "Query modem information..."' \
    "$CONSENT" || return 1
  e2e_shot upgrade-1-consent
  drv answer ok 5000 && drv watch 30000 && drv_saw "$WARNING" || return 1
  e2e_shot upgrade-2-warning
  drv answer ok 5000 || return 1
  drv watch 30000 until-text '"Erasing flash memory..."' until-bar 40 || return 1
  e2e_shot upgrade-3-erasing
  drv watch 60000 until-text '"Updating..."' \
    until-range 64 until-bar 24 || return 1
  drv_saw 'bar reached 100 of 100' 'progress "Updating..."' 'bar range 0..64' || return 1
  e2e_shot upgrade-4-transfer
  drv watch 120000 && drv_saw "$SUCCESS" || return 1
  e2e_shot upgrade-5-success
  wait_for_line "COM3 image 65537 bytes" || return 1
  cmp "$IMAGES/valid.bin" "$E2E_RECORD/COM3.bin" && echo "  the modem received exactly the file" ||
    return 1
  ! grep " error: " "$E2E_SIM_LOG" || { echo "  the modem was sent what it does not take"; return 1; }
  drv answer ok 5000 && drv idle 10000 || return 1
  drv enabled 1007 && drv_saw "enabled 1007 0" || return 1
  drv text 1004 && drv_saw 'text 1004 "valid.bin"' || return 1
  [ -z "$(e2e_port_holders COM3)" ] || { echo "  COM3 is still open"; return 1; }
}

scenario_cancel() {
  SIM_PORTS=("COM3:erase=300")
  run_app || return 1
  choose_port 2 && open_image "$IMAGES/valid.bin" || return 1
  # Cancelling the file dialog keeps the chosen file and Upgrade as they were.
  drv click 1006 && drv cancel-file 10000 || return 1
  drv text 1004 && drv_saw 'text 1004 "valid.bin"' || return 1
  drv enabled 1007 && drv_saw "enabled 1007 1" || return 1
  upgrade_to_box && drv_saw "$CONSENT" || return 1
  e2e_shot cancel-consent
  drv answer cancel 5000 || return 1
  # The name stays: a cancel is not a failed download.
  ready_again valid.bin && image_sent 0
}

scenario_no_labels() {
  SIM_PORTS=("COM3")
  run_app || return 1
  failing_upgrade "$IMAGES/nolabels.bin" no-labels nolabels.bin \
    'box "Error" "Incorrect firmware file.\n\n Upgrade stop !" buttons=OK icon' &&
    image_sent 0
}

scenario_ati8_without_date() {
  SIM_PORTS=('COM3:ati8=\r\nDSP Ver 1.07\r\n\r\nOK\r\n')
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" ati8-without-date valid.bin "$QUERY_FAILED" &&
    image_sent 0
}

scenario_port_held() {
  # COM3 is mapped to something no program can open, as when another one holds it.
  SIM_PORTS=("COM5")
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" port-held valid.bin \
    'box "ERROR" "Can'"'"'t open com3!" buttons=OK icon' "$QUERY_FAILED"
}

scenario_no_ready() {
  SIM_PORTS=("COM3:erase=300,no-ready=1")
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" no-ready "" "$CONSENT" "$WARNING" \
    'box "ERROR" "Modem not ready, can'"'"'t update!" buttons=OK icon' && image_sent 0
}

# The boxes that end a transfer the modem did not take whole, or did not confirm.
TRANSFER_FAILED_BOX='box "ERROR" "Firmware transfer failed, the modem did not take the whole image.\n\nPlease run Upgrade again." buttons=OK icon'
UNCONFIRMED_BOX='box "ERROR" "The modem did not confirm the update.\n\nPlease run Upgrade again." buttons=OK icon'

scenario_stall() {
  SIM_PORTS=("COM3:erase=300,stall-after=8192")
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" stall "" "$CONSENT" "$WARNING" \
    "$TRANSFER_FAILED_BOX" &&
    image_sent 8192
}

scenario_wrong_final() {
  SIM_PORTS=('COM3:erase=300,final=NO\r\n')
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" wrong-final "" "$CONSENT" "$WARNING" \
    "$UNCONFIRMED_BOX" &&
    image_sent 65537
}

scenario_vanish() {
  # The modem goes away mid-transfer, as when its cable is pulled.
  SIM_PORTS=("COM3:erase=300,vanish-after=16384")
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" vanish "" "$CONSENT" "$WARNING" \
    "$TRANSFER_FAILED_BOX" &&
    image_sent 16384
}

scenario_no_final() {
  # The modem takes every byte but never answers: the wait for its answer ends.
  SIM_PORTS=("COM3:erase=300,no-final=1")
  run_app || return 1
  failing_upgrade "$IMAGES/valid.bin" no-final "" "$CONSENT" "$WARNING" \
    "$UNCONFIRMED_BOX" &&
    image_sent 65537
}

# --- closing, the system menu, the file dialog, the image held by another program ---------

# Enter (the default button, Exit), Escape and the close box each end the idle program.
scenario_close_idle() {
  SIM_PORTS=()
  local way
  for way in "key enter" "key escape" "close-box"; do
    echo "  -- $way"
    run_app && drv front && drv_saw "focus=1 active" && drv $way && e2e_app_ended || return 1
  done
}

# The user brings the main dialog to the front and tries every way to close it.
try_to_close() { drv front && drv key enter && drv key escape && drv close-box; }

# During a Find they have no effect: it ends as it would have, and the program stays.
scenario_close_during_find() {
  SIM_PORTS=("COM3")
  run_app || return 1
  drv click 1002 && drv watch 20000 until-text '"Query COM2..."' || return 1
  try_to_close || return 1
  drv watch 60000 && drv_saw 'status "Found Orvane modem on COM3."' idle || return 1
  drv combo 1000 && drv_saw "combo 1000 sel=2"
}

# Up to the erase of an Upgrade on COM3 (modem-sim prints the commands it takes).
upgrade_to_erase() {
  choose_port 2 && open_image "$IMAGES/valid.bin" || return 1
  upgrade_to_box && drv_saw "$CONSENT" && drv answer ok 5000 || return 1
  drv watch 30000 && drv_saw "$WARNING" && drv answer ok 5000 || return 1
  drv watch 30000 until-text '"Erasing flash memory..."' until-bar 10
}

# The Upgrade ends in success with the whole image, and the program stays.
upgrade_succeeds() {
  drv watch 120000 && drv_saw "$SUCCESS" && drv answer ok 5000 || return 1
  wait_for_line "COM3 image 65537 bytes" && image_sent 65537 && drv idle 10000
}

# The commands the modem on COM3 took, one a line (times=1).
sim_commands() { sed -n 's/^COM3 command [0-9]* ms: //p' "$E2E_SIM_LOG"; }

scenario_close_during_erase() {
  SIM_PORTS=("COM3:erase=300")
  run_app || return 1
  upgrade_to_erase && try_to_close && upgrade_succeeds
}

# A click on Upgrade while the flash is erased starts no second erase.
scenario_upgrade_during_erase() {
  SIM_PORTS=("COM3:erase=300,times=1")
  run_app || return 1
  upgrade_to_erase && drv click 1007 && upgrade_succeeds || return 1
  echo "  the modem took: $(sim_commands | tr '\n' ' ')"
  [ "$(sim_commands | grep -c '^AT+F56=90')" = 1 ] || { echo "  not one erase"; return 1; }
}

# The About entry of the system menu, reached by the keyboard: the menu opens with
# Alt+Space, its last entry is About; Enter closes the box again.
scenario_about_from_menu() {
  SIM_PORTS=()
  run_app || return 1
  drv front && drv key alt+space && drv key up && drv key enter || return 1
  drv watch 10000 && drv_saw 'about "About Tessaro"' || return 1
  drv texts about && drv_saw '"Tessaro Version 1.0" "Modem firmware update" "OK"' || return 1
  e2e_shot about-from-menu
  drv key enter && drv idle 5000 && drv windows && drv_not_saw "about" || return 1
  drv enabled 1002 && drv_saw "enabled 1002 1"
}

# The Open dialog: its title, its one filter, the name it starts with, the refusal of a
# missing file; the next Open starts in the folder of the file chosen before, so that a
# bare name is looked for there.
scenario_open_dialog() {
  SIM_PORTS=()
  local a=$IMAGES/first b=$IMAGES/second
  mkdir -p "$a" "$b" && cp "$IMAGES/valid.bin" "$a/a.bin" && cp "$IMAGES/valid.bin" "$b/b.bin"
  run_app || return 1
  drv click 1006 && drv wait-control 1148 10000 && drv windows &&
    drv_saw 'file-dialog "Open firmware file"' || return 1
  drv combo 1136 && drv_saw 'sel=0 "Firmware Files(*.bin)"' || return 1
  drv text 1148 && drv_saw 'text 1148 "*.bin"' || return 1
  drv try-file "$(win_path "$b/missing.bin")" 10000 && drv_saw 'refused "" "File does not exist"' ||
    return 1
  drv try-file "$(win_path "$b/b.bin")" 10000 && drv_saw chose || return 1
  drv text 1004 && drv_saw 'text 1004 "b.bin"' || return 1
  drv click 1006 && drv try-file a.bin 10000 && drv_saw refused || return 1
  drv try-file b.bin 10000 && drv_saw chose || return 1
  drv text 1004 && drv_saw 'text 1004 "b.bin"' && drv enabled 1007 && drv_saw "enabled 1007 1"
}

# Another program holds the image open for writing once the versions are read: the
# program opens it for itself alone, so it cannot, says so, and sends the modem nothing
# more than the version query.
scenario_image_held() {
  SIM_PORTS=("COM3:times=1")
  run_app || return 1
  choose_port 2 && open_image "$IMAGES/valid.bin" || return 1
  upgrade_to_box && drv_saw "$CONSENT" || return 1
  drv hold-file "$(win_path "$IMAGES/valid.bin")" && drv answer ok 5000 || return 1
  # The image no longer opens: the download ends without a word, the field emptied.
  drv watch 30000 && drv_saw idle || return 1
  if grep -qF 'box "' <<<"$DRV_LINES"; then
    echo "  UNEXPECTED: a box where the download ends silently"
    return 1
  fi
  e2e_shot image-held
  drv release-file || return 1
  echo "  the modem took: $(sim_commands | tr '\n' ' ')"
  [ "$(sim_commands | tr '\n' ' ')" = 'AT&F\r ATI7\r ATI8\r ' ] || return 1
  image_sent 0 && ready_again ""
}

# --- pauses, as the modem hears them ------------------------------------------------------

# Each thing the modems hear in a whole Find and a whole Upgrade: the gap before it as
# designed (the pauses between it and the one before, plus the reads between that end on
# their time-outs, as a modem answers in 20 ms with less than the program reads; "-" where
# the user's answers come between), and how many pauses that gap holds.
LINE_GAPS=(
  'COM3 at&f\r|-|0'
  'COM3 ati3\r|3201|1'          # 200, then the reset's answer read: 30 x 100 + 1
  'COM5 at&f\r|4601|3'          # 200, the identification read: 40 x 100 + 1; 200 for COM4,
                                # which does not open, and 200 for COM5
  'COM5 ati3\r|3201|1'
  'COM5 AT&F\r|-|0'             # the result shown 2 s, then Open and Upgrade
  'COM5 ATI7\r|500|1'
  'COM5 ATI8\r|1101|1'          # 500, then the answer read: 60 x 10 + 1
  'COM5 AT&F\r|-|0'             # the consent and the warning
  'COM5 AT+F56=90\r|500|1'
  'COM5 y|3000|1'               # 2000, then the prompt read, ending 1 s after its last byte
  'COM5 image begins|11100|102' # 100 x 100 of erase, the READY read (1 s), 100
)

# No gap shorter than designed, none longer by more than 100 ms and 1 ms a pause: Wine's
# server counts a wait's end in whole milliseconds, so each of the erase's hundred pauses
# may end that much late. The modem's clock reads whole milliseconds too, and either of
# two times may be read one late: 2 ms of slack below.
check_line_gaps() {
  local heard i want name designed pauses at prev=-1 gap bad=0
  mapfile -t heard < <(sed -n 's/^\(COM[0-9]\) command \([0-9]*\) ms: \(.*\)$/\1 \3|\2/p;
    s/^\(COM[0-9]\) image begins \([0-9]*\) ms$/\1 image begins|\2/p' "$E2E_SIM_LOG")
  [ ${#heard[@]} = ${#LINE_GAPS[@]} ] || { printf '  heard: %s\n' "${heard[@]}"; return 1; }
  for i in "${!LINE_GAPS[@]}"; do
    IFS='|' read -r name designed pauses <<<"${LINE_GAPS[$i]}"
    at=${heard[$i]#*|}
    [ "${heard[$i]%|*}" = "$name" ] || { echo "  heard ${heard[$i]%|*}, not $name"; return 1; }
    gap=$((at - prev)) prev=$at
    if [ "$designed" = - ]; then
      [ "$i" = 0 ] && printf '  %-22s first\n' "$name" ||
        printf '  %-22s %6d ms after the one before (the user'"'"'s time)\n' "$name" "$gap"
      continue
    fi
    printf '  %-22s %6d ms after the one before, designed %5d, %+d (at most +%d)\n' "$name" \
      "$gap" "$designed" $((gap - designed)) $((100 + pauses))
    [ "$gap" -ge $((designed - 2)) ] && [ "$gap" -le $((designed + 100 + pauses)) ] || bad=1
  done
  [ "$bad" = 0 ]
}

# While the program pauses, its windows paint: the bar grows between two screenshots.
bar_painted_while_erasing() {
  drv watch 30000 until-text '"Erasing flash memory..."' until-bar 20 || return 1
  e2e_shot pauses-erase-20
  drv watch 30000 until-text '"Erasing flash memory..."' until-bar 60 || return 1
  e2e_shot pauses-erase-60
  local differ
  differ=$(compare -metric AE "$E2E_OUT/pauses-erase-20.png" "$E2E_OUT/pauses-erase-60.png" \
    null: 2>&1)
  echo "  pixels changed between the two: $differ"
  [ "${differ%% *}" -gt 0 ] 2>/dev/null
}

scenario_pauses_on_the_line() {
  SIM_PORTS=("COM3:ident=XR-56,times=1" "COM5:erase=300,times=1")
  run_app || return 1
  drv click 1002 && drv watch 60000 && drv_saw 'status "Found Orvane modem on COM5."' ||
    return 1
  open_image "$IMAGES/valid.bin" && upgrade_to_box && drv_saw "$CONSENT" &&
    drv answer ok 5000 && drv watch 30000 && drv_saw "$WARNING" && drv answer ok 5000 || return 1
  bar_painted_while_erasing || return 1
  drv watch 120000 && drv_saw "$SUCCESS" && drv answer ok 5000 || return 1
  wait_for_line "COM5 image 65537 bytes" && check_line_gaps
}

# --- runner -------------------------------------------------------------------------------

# The program starts in another folder than the images': the chosen file's folder must
# become the one its bare name is opened in.
run_app() {
  if [ ${#SIM_PORTS[@]} -gt 0 ]; then e2e_sim_start "${SIM_PORTS[@]}" || return 1; fi
  e2e_app_start "$E2E_WORK"
}

# Waits up to 10 s for a line from the simulator.
wait_for_line() {
  local i
  for i in $(seq 1 100); do
    grep -qxF "$1" "$E2E_SIM_LOG" && { echo "  modem-sim: $1"; return 0; }
    sleep 0.1
  done
  echo "  modem-sim never said: $1"
  cat "$E2E_SIM_LOG"
  return 1
}

# Ends the program (unless the scenario did) and the simulator; after a failure whatever is
# left of the program too.
finish_scenario() {
  local ok=$1
  if [ "$ok" = 0 ] && [ -n "${E2E_APP_PID:-}" ]; then
    e2e_app_exit || ok=1
  fi
  if [ "$ok" != 0 ]; then
    drv_stop
    e2e_app_kill
    fw_wineserver_restart
  fi
  e2e_sim_stop
  return "$ok"
}

# Every scenario, in the order of this file; CMake registers each as a test of its own.
mapfile -t ALL < <(sed -n 's/^scenario_\([a-z0-9_]*\)().*/\1/p' "${BASH_SOURCE[0]}")
out=${1:-e2e-out}
shift || true
selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${ALL[@]}")

e2e_begin "$out" || exit 1
IMAGES=$E2E_WORK/images
mkdir -p "$IMAGES"
make_image "$IMAGES/valid.bin" $((64 * 1024 + 1))
make_image_without_labels "$IMAGES/nolabels.bin" $((64 * 1024 + 1))

results=()
failed=0
for s in "${selected[@]}"; do
  declare -F "scenario_$s" >/dev/null || { echo "no scenario '$s' (have: ${ALL[*]})"; exit 2; }
done
for s in "${selected[@]}"; do
  echo "== $s"
  start=$SECONDS
  "scenario_$s"
  ok=$?
  [ "$ok" = 0 ] || e2e_shot "$s-FAILED"
  finish_scenario "$ok"
  ok=$?
  if [ "$ok" = 0 ]; then verdict=PASS; else verdict=FAIL; failed=$((failed + 1)); fi
  results+=("$verdict $s ($((SECONDS - start)) s)")
  echo "-- $verdict $s"
done
echo
echo "== e2e summary"
printf '  %s\n' "${results[@]}"
echo "  screenshots in $E2E_OUT"
[ "$failed" -eq 0 ]
