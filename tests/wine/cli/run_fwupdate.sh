#!/usr/bin/env bash
# fwupdate.exe, the Windows console build, under Wine against modem-sim on COM3 and COM12:
# find picks COM3, and an unattended upgrade ends in success with every byte of the image
# received, on COM3 and on COM12;
# images that are no file on disk are refused at once; an image another program holds open
# for writing is refused.
# Usage: run_fwupdate.sh   (MODEM_SIM, FW_WIN32_BUILD, FW_WIN64_BUILD from the test)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../scripts/lib/wine-env.sh"
source "$here/../../../scripts/lib/modem-sim.sh"
source "$here/../../e2e/lib/image.sh"

fw_wine_pick || exit 1
exe=$FW_WIN_BUILD/cli/fwupdate.exe
[ -f "$exe" ] || { echo "missing: $exe (build the Windows presets first)"; exit 1; }

work=$(mktemp -d /tmp/wine-fwupdate-XXXXXX)
cleanup() {
  wine_env_stop
  sim_stop
  rm -rf "$work"
}
trap cleanup EXIT

sim_start "$work" --max-seconds 280 COM3:erase=300 COM12:erase=300 || exit 1
wine_env_start "$work/wine" || exit 1
wine_map_ports "COM3=$PTY_COM3" "COM12=$PTY_COM12"
make_image "$work/image.bin" $((64 * 1024 + 1))

fails=0
not() { ! "$@"; }
check() {  # check WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then echo "  PASS $what"; else echo "  FAIL $what"; fails=$((fails + 1)); fi
}

FW_WINE_TIMEOUT=120 fw_wine "$exe" find >"$work/find.out" 2>"$work/find.err" </dev/null
status=$?
sed 's/^/  find: /' "$work/find.out" "$work/find.err"
check "find ends with status 0" test "$status" = 0
check "find prints COM3" test "$(tr -d '\r' <"$work/find.out")" = COM3

win_image="Z:${work//\//\\}\\image.bin"
FW_WINE_TIMEOUT=120 fw_wine "$exe" upgrade --port COM3 "$win_image" --yes \
  >"$work/up.out" 2>"$work/up.err" </dev/null
status=$?
sed 's/^/  upgrade: /' "$work/up.out" "$work/up.err" | tr -d '\r'
check "upgrade ends with status 0" test "$status" = 0
check "upgrade says this build keeps no history" grep -qF "built without SQLite" "$work/up.err"
check "upgrade reports success" grep -qF "The modem firmware has been updated successfully." \
  "$work/up.out" "$work/up.err"
for i in $(seq 1 50); do [ -s "$work/record/COM3.bin" ] && break; sleep 0.1; done
check "the modem received exactly the image" cmp "$work/image.bin" "$work/record/COM3.bin"

# What is no file on disk is refused at once, before COM3 is opened, by what it is: a
# folder, the device NUL, a named pipe. -y, -p and -- are the short forms and the end of
# the options.
mkdir "$work/folder"
queries=$(grep -c "AT&F" "$SIM_LOG")
for name in folder nul pipe; do
  case $name in
    folder) path="Z:${work//\//\\}\\folder" kind="a directory" ;;
    nul) path=NUL kind="a character device" ;;
    pipe) path='\\.\pipe\fwupdate-none' kind="a FIFO" ;;
  esac
  FW_WINE_TIMEOUT=60 fw_wine "$exe" upgrade -y -p COM3 -- "$path" \
    >"$work/$name.out" 2>"$work/$name.err" </dev/null
  status=$?
  sed "s/^/  $name: /" "$work/$name.err" | tr -d '\r'
  check "$name is refused (status 6)" test "$status" = 6
  check "$name: the message says it is $kind" grep -qF "not a regular file ($kind)" "$work/$name.err"
done
check "no bad image reached the modem" test "$(grep -c "AT&F" "$SIM_LOG")" = "$queries"

# Another program holds the image open for writing (cmd's ">>", waiting on a line from a
# fifo); it lets others read and write. fwupdate.exe opens the image without sharing, as
# the dialog program does, so it cannot read it and leaves the modem alone.
mkfifo "$work/hold"
FW_WINE_TIMEOUT=60 fw_wine cmd /c "set /p x=>>$win_image" <"$work/hold" >/dev/null 2>&1 &
holder=$!
exec 3>"$work/hold"
for i in $(seq 1 100); do
  ls -l /proc/[0-9]*/fd 2>/dev/null | grep -qF -- "-> $work/image.bin" && break
  sleep 0.1
done
FW_WINE_TIMEOUT=120 fw_wine "$exe" upgrade --port COM3 "$win_image" --yes \
  >"$work/held.out" 2>"$work/held.err" </dev/null
status=$?
exec 3>&-
wait "$holder"
sed 's/^/  held image: /' "$work/held.out" "$work/held.err" | tr -d '\r'
check "a held image is refused (status 5)" test "$status" = 5
check "the modem is not asked while the image is held" \
  not grep -qF "Query modem information" "$work/held.out"

# A port above COM8, as USB adapters often are: find --all lists it among the ports the
# system has, and it opens as \\.\COM12.
FW_WINE_TIMEOUT=120 fw_wine "$exe" find --all >"$work/all.out" 2>"$work/all.err" </dev/null
status=$?
check "find --all ends with status 0" test "$status" = 0
check "find --all lists COM3 and COM12" test "$(tr -d '\r' <"$work/all.out" | tr '\n' ' ')" = "COM3 COM12 "
FW_WINE_TIMEOUT=120 fw_wine "$exe" upgrade -y -p COM12 "$win_image" \
  >"$work/com12.out" 2>"$work/com12.err" </dev/null
status=$?
check "upgrade on COM12 ends with status 0" test "$status" = 0
for i in $(seq 1 50); do [ -s "$work/record/COM12.bin" ] && break; sleep 0.1; done
check "the modem on COM12 received exactly the image" cmp "$work/image.bin" "$work/record/COM12.bin"

[ "$fails" -eq 0 ] && echo "fwupdate.exe under Wine: all checks passed"
[ "$fails" -eq 0 ]
