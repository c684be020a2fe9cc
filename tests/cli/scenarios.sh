#!/usr/bin/env bash
# fwupdate against modem-sim on pseudo-terminals, one scenario per run:
#   scenarios.sh WORKDIR NAME     runs scenario_NAME; exit 0 when all its checks hold
# FWUPDATE and MODEM_SIM name the programs.
set -uo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
source "$SRC/tests/e2e/lib/image.sh"
source "$SRC/scripts/lib/modem-sim.sh"

WORK=$1
NAME=$2

# As root, the scenario runs as an ordinary user, as the pty level does: root passes
# exclusive opens, which would hide a port left held (after Ctrl-C, say). Its files are
# copied back to WORK afterwards.
if [ "$(id -u)" = 0 ] && [ -z "${FW_CLI_AS_USER:-}" ] && id nobody >/dev/null 2>&1 &&
   runuser -u nobody -- test -x "$FWUPDATE" -a -x "$MODEM_SIM" -a -r "$0"; then
  userdir=$(runuser -u nobody -- mktemp -d "${TMPDIR:-/tmp}/fw-cli.XXXXXX") || exit 1
  runuser -u nobody -- env FW_CLI_AS_USER=nobody FWUPDATE="$FWUPDATE" MODEM_SIM="$MODEM_SIM" \
    FW_VERSION="${FW_VERSION:-}" bash "$0" "$userdir/$NAME" "$NAME"
  rc=$?
  rm -rf "$WORK" && mkdir -p "$WORK" && cp -r "$userdir/$NAME/." "$WORK/" 2>/dev/null
  rm -rf "$userdir"
  exit "$rc"
fi
echo "scenario $NAME as $(id -un)"

rm -rf "$WORK" && mkdir -p "$WORK" || exit 1
cd "$WORK" || exit 1
# Each scenario keeps its own history of attempts.
export XDG_STATE_HOME=$WORK/state
FAILED=0
trap 'sim_stop; wait 2>/dev/null' EXIT

fail() { echo "FAIL: $*"; FAILED=1; }

# await FILE TEXT [SECONDS]: waits until FILE holds TEXT. A line that never comes fails,
# rather than letting the scenario go on as if it had come.
await() {
  local file=$1 text=$2 i
  for i in $(seq 1 $((${3:-30} * 10))); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "FAIL: \"$text\" never came in $file: $(cat "$file" 2>/dev/null)"
  return 1
}

# modems PORT...: modem-sim with --port PORT each, its log sim.log, what each modem got in
# record/; PTY_<NAME> is each port's device.
modems() { sim_start "$WORK" "$@" || exit 1; }

# run NAME ARGS...: fwupdate with stdin from /dev/null; NAME.out, NAME.err, NAME.rc. With
# LIMIT set, killed after LIMIT seconds (status 124), so that a run that blocks fails.
run() {
  local name=$1
  shift
  ${LIMIT:+timeout "$LIMIT"} "$FWUPDATE" "$@" <"${STDIN:-/dev/null}" >"$name.out" 2>"$name.err"
  echo $? >"$name.rc"
}

# expect NAME STATUS [TEXT [FILE]]: the exit status, and TEXT in stdout (or in NAME.FILE).
expect() {
  local name=$1 status=$2 text=${3:-} file=${4:-out}
  [ "$(cat "$name.rc")" = "$status" ] ||
    fail "$name: status $(cat "$name.rc"), expected $status; stderr: $(cat "$name.err")"
  [ -z "$text" ] || grep -qF -- "$text" "$name.$file" ||
    fail "$name: no \"$text\" in its $file: $(cat "$name.$file")"
}

scenario_find() {
  modems COM3 COM5
  # Ten ports, more than the dialog's eight, in one scan: the modem on the ninth is found and
  # the one after it is never asked.
  local ports=() i
  for i in 1 2 3 4 5 6 7 8; do ports+=(--port "$WORK/missing$i"); done
  run found find "${ports[@]}" --port "$PTY_COM3" --port "$PTY_COM5"
  expect found 0
  [ "$(cat found.out)" = "$PTY_COM3" ] || fail "find printed '$(cat found.out)'"
  grep -qxF "Found Orvane modem on $PTY_COM3." found.err || fail "find: $(cat found.err)"
  grep -qF "Query $PTY_COM5" found.err && fail "find asked the port after the one found"
  # A stable name, a link to the device as udev makes in /dev/serial/by-path, is a port.
  ln -s "$PTY_COM3" "$WORK/pci-0000:00:14.0-usb-0:2:1.0-port0"
  run bylink find --port "$WORK/pci-0000:00:14.0-usb-0:2:1.0-port0"
  expect bylink 0
  [ "$(cat bylink.out)" = "$WORK/pci-0000:00:14.0-usb-0:2:1.0-port0" ] ||
    fail "find through a link printed '$(cat bylink.out)'"
  run none find --port "$WORK/missing"
  expect none 1 "Can't found Orvane Modem." err
  run badname find --port ttyS0
  expect badname 2 "not a port: ttyS0" err
  # A port the user may not open: find says why, and the status is 3, not "no modem". Root
  # opens any device, so only an ordinary user can show it.
  if [ "$(id -u)" != 0 ]; then
    chmod 000 "$PTY_COM5"
    run denied find --port "$PTY_COM5"
    chmod 620 "$PTY_COM5"
    expect denied 3 "$PTY_COM5: no permission" err
  fi
}

# --version: the name and the project's version, status 0, and --help lists it.
scenario_version() {
  run version --version
  expect version 0
  [ "$(cat version.out)" = "fwupdate ${FW_VERSION:?}" ] || fail "--version: $(cat version.out)"
  run help --help
  expect help 0 "--version"
}

scenario_info() {
  modems "COM3:ctlver=3.01,ctldate=05/05/05"
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  run info info --port "$PTY_COM3" img.bin --log info.log
  expect info 0
  grep -qE '^Controller Ver +3\.01 +2\.20$' info.out || fail "info: $(cat info.out)"
  grep -qE '^DSP Date +02/28/02 +03/28/03$' info.out || fail "info: $(cat info.out)"
  # The transcript: the line as set, and nothing sent but the query's three commands.
  grep -qE '^\[ *[0-9]+\.[0-9]{3}\] line 115200 baud, 8N1, CTS flow on, DTR on: ok$' info.log ||
    fail "--log: no line setting in $(cat info.log)"
  [ "$(grep -A1 '\] sent ' info.log | grep -o '|.*|' | tr -d '\n')" = '|AT&F.||ATI7.||ATI8.|' ] ||
    fail "--log: info sent more than its query: $(grep -A1 '] sent ' info.log)"
  grep -qF ' 0d 0a 43 6f 6e 74 72 6f 6c 6c 65 72 20 56 65 72  |..Controller Ver|' info.log ||
    fail "--log: the answer to ATI7 is not in hex and text"
  run nolog info --port "$PTY_COM3" --log "$WORK/no/such/dir/t.log"
  expect nolog 12 "cannot write the log" err
  run noport info --port "$WORK/missing"
  expect noport 3 "Can't open $WORK/missing!" err
  run noimage info --port "$PTY_COM3" "$WORK/missing.bin"
  expect noimage 6 "Can't open firmware file!" err
}

scenario_upgrade() {
  modems COM3:erase=300
  make_image img.bin $((100 * 1024 + 1))
  # Nobody to ask: refused before any port is opened (this one would not open: status 3).
  run refused upgrade --port "$WORK/missing" img.bin
  expect refused 8 "standard input is not a terminal" err
  run done upgrade --port "$PTY_COM3" img.bin --yes
  expect done 0 "The modem firmware has been updated successfully."
  cmp -s img.bin record/COM3.bin || fail "the modem did not receive exactly the image"
  grep -qF "Continue to update firmware ? yes (--yes)" done.out || fail "no comparison: $(cat done.out)"
  # Not a terminal: plain lines at each tenth, not one per block.
  local lines
  lines=$(grep -c '^Updating\.\.\. ' done.out)
  [ "$lines" -ge 10 ] && [ "$lines" -le 11 ] || fail "$lines transfer lines: $(cat done.out)"
  grep -qE '^Updating\.\.\. 100%  102401/102401 B ' done.out || fail "no end of transfer"
}

# The reader of the output goes away after the first lines (JSON on stdout, then the lines
# for people): the flash goes on, the modem takes the whole image and gives its final
# answer, and fwupdate's status is the modem's.
scenario_closed_pipe() {
  modems COM3:erase=300 COM4:erase=300
  make_image img.bin 70000
  "$FWUPDATE" upgrade img.bin --port "$PTY_COM3" --yes --json 2>json.err </dev/null |
    head -n 2 >json.out
  local rc=${PIPESTATUS[0]}
  [ "$rc" = 0 ] || fail "--json | head -n 2: status $rc; stderr: $(cat json.err)"
  [ "$(wc -l <json.out)" = 2 ] || fail "--json | head -n 2: $(cat json.out)"
  grep -qF "The modem firmware has been updated successfully." json.err ||
    fail "--json | head: stderr stopped with stdout: $(cat json.err)"
  "$FWUPDATE" upgrade img.bin --port "$PTY_COM4" --yes </dev/null 2>human.err |
    head -c 100 >human.out
  rc=${PIPESTATUS[0]}
  [ "$rc" = 0 ] || fail "| head -c 100: status $rc; stderr: $(cat human.err)"
  local port
  for port in COM3 COM4; do
    cmp -s img.bin "record/$port.bin" || fail "$port did not receive exactly the image"
    await sim.log "$port image 70000 bytes" 5 || fail "$port gave no final answer"
  done
}

# --skip-current: the first run updates; the modem then reports the image's record, and the
# same command again leaves it alone: no erase command, "current", status 0.
scenario_skip_current() {
  modems COM3:erase=300,times=1
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  run first upgrade --port "$PTY_COM3" img.bin --yes --skip-current
  expect first 0 "The modem firmware has been updated successfully."
  cmp -s img.bin record/COM3.bin || fail "the modem did not receive exactly the image"
  await sim.log "AT+F56" || return
  run second upgrade --port "$PTY_COM3" img.bin --yes --skip-current
  expect second 0 "Current: the modem on $PTY_COM3 already has the image's versions and dates"
  sleep 0.5
  [ "$(grep -c 'AT+F56' sim.log)" = 1 ] || fail "the second run erased: $(cat sim.log)"
  grep -qF "Continue to update" second.out && fail "the second run asked: $(cat second.out)"
}

# --dry-run over a current modem and an older one: each port says which it is, from the
# versions fwupdate read; nothing is asked and no modem hears an erase command.
scenario_dry_run() {
  modems COM3:ctlver=2.20,ctldate=04/01/03,dspver=1.09,dspdate=03/28/03 COM4
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  run dry upgrade img.bin --port "$PTY_COM3" --port "$PTY_COM4" --dry-run --json
  expect dry 0 "" err
  json_lines dry
  python3 -c 'import json, sys
done = {e["port"]: e for e in map(json.loads, open(sys.argv[1])) if e["event"] == "port_done"}
got = sorted((e["outcome"], e["exit_status"], e["flash_state"]) for e in done.values())
assert got == [("current", 0, "untouched"), ("would_update", 0, "untouched")], got
assert done[sys.argv[2]]["outcome"] == "current", done' dry.out "$PTY_COM3" ||
    fail "dry run: $(cat dry.out)"
  grep -qE "^$PTY_COM4 +2\.10 / 1\.07 +would update, untouched " dry.err ||
    fail "dry run: $(cat dry.err)"
  grep -qF "Continue to update" dry.err && fail "the dry run asked: $(cat dry.err)"
  grep -qE "AT\+F56|command [0-9]+ ms: y$" sim.log && fail "the dry run erased: $(cat sim.log)"
  true
}

# upgrade --all: no modem on any port ends with status 1; exactly one modem runs as one port
# and ends with its own status; ports where no modem answered are left out.
scenario_all() {
  modems COM3 COM4:silent=1 COM5:ati7=none
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  run none upgrade img.bin --all --dry-run --port "$WORK/missing"
  expect none 1 "Can't found Orvane Modem." err
  run one upgrade img.bin --all --dry-run --port "$WORK/missing" --port "$PTY_COM5"
  expect one 4 "no versions, untouched"
  run two upgrade img.bin --all --dry-run --json --port "$PTY_COM3" --port "$PTY_COM4" \
    --port "$PTY_COM5"
  expect two 13
  python3 -c 'import json, sys
done = {e["port"]: e["outcome"] for e in map(json.loads, open(sys.argv[1]))
        if e["event"] == "port_done"}
assert done == {sys.argv[2]: "would_update", sys.argv[3]: "query_failed"}, done' \
    two.out "$PTY_COM3" "$PTY_COM5" || fail "--all: $(cat two.out)"
}

# untimed FILE: its events without their times, to compare whole.
untimed() { sed -E 's/,"time":"[^"]*"//' "$1"; }

# json_lines NAME: every line of NAME.out is a JSON object with the schema's version and
# its time.
json_lines() {
  python3 -c 'import json, re, sys
for n, line in enumerate(open(sys.argv[1]), 1):
    event = json.loads(line)
    assert event["schema"] == 1, "line %d: %r" % (n, event)
    assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z", event["time"]), event' "$1.out" ||
    fail "$1: not JSON Lines: $(cat "$1.out")"
}

# --json: find --all, info and upgrade as JSON Lines on stdout, the lines for people on
# stderr; a modem whose versions hold quotes, control bytes and invalid UTF-8 still gives
# valid JSON that says what it sent.
scenario_json() {
  modems COM3:erase=300 'COM4:ctlver=a"b\\c\x01\xff,ctldate=\x7f\x1b[31m\t"q"'
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  run find find --all --json --port "$PTY_COM3" --port "$WORK/missing" --port "$PTY_COM4"
  expect find 0
  json_lines find
  [ "$(grep -c '"event":"port_found"' find.out)" = 2 ] || fail "find --all: $(cat find.out)"
  grep -qF "Found Orvane modem on $PTY_COM4." find.err || fail "find --all: $(cat find.err)"

  run info info --json --port "$PTY_COM4" img.bin
  expect info 0
  json_lines info
  python3 -c 'import json, sys
modem = [e for e in map(json.loads, open(sys.argv[1])) if e.get("source") == "modem"][0]
assert modem["controller_version"] == "a\"b\\c\x01\ufffd", modem
assert bytes.fromhex(modem["controller_version_hex"]) == b"a\"b\\c\x01\xff", modem
assert modem["controller_date"] == " \x7f\x1b[31m\t\"q\"", modem
assert "controller_date_hex" not in modem' info.out || fail "info: $(cat info.out)"
  grep -qE '^Controller Ver ' info.err || fail "info: the table is not on stderr"

  run up upgrade --json --yes --port "$PTY_COM3" img.bin
  expect up 0
  json_lines up
  cmp -s img.bin record/COM3.bin || fail "the modem did not receive exactly the image"
  python3 -c 'import json, sys
events = [json.loads(line) for line in open(sys.argv[1])]
names = [e["event"] for e in events]
assert names[:4] == ["start", "versions", "versions", "consent"], names
assert events[0]["image_sha256"] == sys.argv[2] and events[0]["image_size"] == 70000, events[0]
assert names[-2:] == ["port_done", "end"], names
assert {"phase", "progress"} <= set(names), names
assert sum(n == "progress" for n in names) < 60, names
done = events[-2]
assert (done["outcome"], done["exit_status"], done["message_id"]) == ("done", 0, "success"), done
assert done["flash_state"] == "written", done
# Each phase timed, the erase at least its fixed waits; the row it wrote named.
assert done["phase_reached"] == "final" and done["erase_ms"] > 1000, done
assert done["history_id"] >= 1, done
# Within a phase a reader never sees progress go back.
last = {}
for e in events:
    if e["event"] == "phase":
        last[e["phase"]] = 0
    elif e["event"] == "progress":
        assert e["done"] >= last[e["phase"]], (e, last)
        last[e["phase"]] = e["done"]
assert done["message"] == "The modem firmware has been updated successfully.", done' up.out "$(sha256sum <img.bin | cut -c1-64)" ||
    fail "upgrade: $(cat up.out)"
  grep -qF "The modem firmware has been updated successfully." up.err || fail "upgrade: $(cat up.err)"
}

# Three modems at once, one of which never says READY: the other two take the image byte
# for byte, the third ends with its own outcome within its bound, the summary and the
# status say so, and the --json stream names each port's end. Then --skip-current over the
# same ports leaves the two updated modems alone.
scenario_batch() {
  modems COM3:erase=300,times=1 COM4:erase=300,no-ready=1,times=1 COM5:erase=300,times=1
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  local ports=(--port "$PTY_COM3" --port "$PTY_COM4" --port "$PTY_COM5")
  run refused upgrade img.bin "${ports[@]}"
  expect refused 8 "standard input is not a terminal" err
  grep -qF "AT&F" sim.log && fail "a port was touched before the refusal: $(cat sim.log)"

  local start=$SECONDS
  run batch upgrade img.bin "${ports[@]}" --yes --json
  # The query, 10 s of erase ticks, then up to 20 s for READY: one port's bound, not three.
  [ $((SECONDS - start)) -le 40 ] || fail "the batch took $((SECONDS - start)) s"
  expect batch 13 "" err
  cmp -s img.bin record/COM3.bin || fail "COM3 did not receive exactly the image"
  cmp -s img.bin record/COM5.bin || fail "COM5 did not receive exactly the image"
  grep -qF "Continue to update firmware of 3 modems ? yes (--yes)" batch.err ||
    fail "no one question: $(cat batch.err)"
  grep -qE "^$PTY_COM4 +2\.10 / 1\.07 +not ready \(flash may be erased\) " batch.err ||
    fail "summary: $(cat batch.err)"
  [ "$(grep -cE ' updated +[0-9]+:[0-9]{2}$' batch.err)" = 2 ] || fail "summary: $(cat batch.err)"
  json_lines batch
  python3 - "$PTY_COM3" "$PTY_COM4" "$PTY_COM5" batch.out <<'PY' || fail "json: $(cat batch.out)"
import json, sys
com3, com4, com5, path = sys.argv[1:]
events = [json.loads(line) for line in open(path)]
done = {e["port"]: e for e in events if e["event"] == "port_done"}
assert done[com3]["outcome"] == "done" and done[com5]["outcome"] == "done", done
assert (done[com4]["outcome"], done[com4]["exit_status"], done[com4]["message_id"]) == \
    ("not_ready", 9, "not_ready"), done
del events[-1]["time"]
assert events[-1] == {"schema": 1, "event": "end", "command": "upgrade", "exit_status": 13}
PY

  run again upgrade img.bin --port "$PTY_COM3" --port "$PTY_COM5" --yes --skip-current
  expect again 0
  [ "$(grep -c 'AT+F56' sim.log)" = 3 ] || fail "a current modem was erased: $(cat sim.log)"
  [ "$(grep -cE ' current, untouched +[0-9]+:[0-9]{2}$' again.out)" = 2 ] ||
    fail "not current: $(cat again.out)"
}

# Ctrl-C over several ports stops them all, and each says where it was left.
scenario_batch_interrupt() {
  modems COM3:erase=300,pace=1 COM4:silent=1 COM5:erase=30000
  make_image img.bin $((256 * 1024))
  "$FWUPDATE" upgrade img.bin --port "$PTY_COM3" --port "$PTY_COM4" --port "$PTY_COM5" --yes \
    </dev/null >int.out 2>int.err &
  local pid=$!
  await int.out "$PTY_COM3: Updating... " 60 || fail "int: the transfer never began"
  kill -INT "$pid"
  wait "$pid"
  echo $? >int.rc
  expect int 130 "Where each port was left:" err
  expect int 130 "  $PTY_COM3: half written" err
  expect int 130 "  $PTY_COM4: untouched" err
  expect int 130 "  $PTY_COM5: erased" err
}

# SIGTERM during the transfer of two ports ends at once with 143, each port's port_done
# saying where its flash was left; SIGHUP during the erase stops nothing.
scenario_signals() {
  modems COM3:erase=300,pace=1 COM4:erase=300,pace=1 COM5:erase=3000,times=1
  make_image img.bin $((256 * 1024))
  "$FWUPDATE" upgrade img.bin --port "$PTY_COM3" --port "$PTY_COM4" --yes --json \
    </dev/null >term.out 2>term.err &
  local pid=$! start
  await term.err "$PTY_COM4: Updating... " 60 || fail "term: the transfer never began"
  start=$SECONDS
  kill -TERM "$pid"
  wait "$pid"
  echo $? >term.rc
  [ $((SECONDS - start)) -le 5 ] || fail "term: took $((SECONDS - start)) s to end"
  expect term 143 "  $PTY_COM3: half written" err
  python3 -c 'import json, sys
events = [json.loads(line) for line in open(sys.argv[1])]
done = {e["port"]: e for e in events if e["event"] == "port_done"}
assert all(e["outcome"] == "interrupted" and e["exit_status"] == 143 and
           e["flash_state"] == "partly_written" and e["bytes_sent"] > 0 for e in done.values()), done
assert sorted(done) == sorted(sys.argv[2:]), done
del events[-1]["time"]
assert events[-1] == {"schema": 1, "event": "end", "command": "upgrade", "exit_status": 143}' \
    term.out "$PTY_COM3" "$PTY_COM4" || fail "term: $(cat term.out)"
  json_lines term

  "$FWUPDATE" upgrade img.bin --port "$PTY_COM5" --yes </dev/null >hup.out 2>hup.err &
  pid=$!
  await sim.log "COM5 command" 60 && await sim.log "AT+F56" 60 || fail "hup: no erase began"
  kill -HUP "$pid"
  wait "$pid"
  echo $? >hup.rc
  expect hup 0 "The modem firmware has been updated successfully."
  cmp -s img.bin record/COM5.bin || fail "hup: the modem did not receive exactly the image"
}

# at_terminal NAME AHEAD ANSWER ARGS...: fwupdate ARGS on a pty (script), the user typing
# AHEAD at once, while the modem is queried, and ANSWER once the question shows.
# NAME.out is the terminal's output, NAME.rc the status.
at_terminal() {
  local name=$1 ahead=$2 answer=$3
  shift 3
  rm -f "$name.missed"
  {
    printf %s "$ahead"
    await "$name.out" '[y/N]' || : >"$name.missed"
    printf %s "$answer"
  } | script -qfec "$(printf '%q ' "$FWUPDATE" "$@")" /dev/null >"$name.out" 2>&1
  echo $? >"$name.rc"
  [ -e "$name.missed" ] && fail "$name: the question never showed"
}

# At a terminal: the question is asked and answered; the bar is one line redrawn in place.
scenario_terminal() {
  modems COM3:erase=300,times=1 COM4:erase=300,times=1
  make_image img.bin 70000
  # A "y" typed before the question showed does not answer it, for one port or several.
  at_terminal no $'y\n' $'n\n' upgrade --port "$PTY_COM3" img.bin
  expect no 7 "Continue to update firmware ? [y/N]"
  expect no 7 "Not updated: nothing was written to the modem."
  at_terminal nobatch $'y\n' $'n\n' upgrade --port "$PTY_COM3" --port "$PTY_COM4" img.bin
  expect nobatch 13 "Continue to update firmware of 2 modems ? [y/N]"
  expect nobatch 13 "Not updated: nothing was written to any modem."
  grep -qF "AT+F56" sim.log && fail "a modem was told to erase after no: $(cat sim.log)"
  [ -s record/COM3.bin ] || [ -s record/COM4.bin ] && fail "a modem got image bytes after no"

  at_terminal yes "" $'y\n' upgrade --port "$PTY_COM3" img.bin
  expect yes 0 "The modem firmware has been updated successfully."
  cmp -s img.bin record/COM3.bin || fail "the modem did not receive exactly the image"
  # Each line of the terminal output: the bar's redraws stay on one line per phase.
  local bars
  bars=$(tr -d '\r' <yes.out | grep -c '^Updating\.\.\. \[' )
  [ "$bars" = 1 ] || fail "transfer bar on $bars lines: $(cat -A yes.out)"
  grep -qF $'\rUpdating... [####################] 100%  70000/70000 B' yes.out ||
    fail "no full transfer bar: $(cat -A yes.out)"
}

scenario_not_ready() {
  modems COM3:erase=300,no-ready=1
  make_image img.bin 70000
  run notready upgrade --port "$PTY_COM3" img.bin --yes
  expect notready 9 "Modem not ready, can't update!" err
  expect notready 9 "fwupdate upgrade --port $PTY_COM3 img.bin --yes" err
}

scenario_stall() {
  modems COM3:erase=300,stall-after=8192
  make_image img.bin 70000
  run stall upgrade --port "$PTY_COM3" img.bin --yes
  expect stall 10 "Firmware transfer failed, the modem did not take the whole image." err
}

# An adapter pulled out mid-flash: that port ends within seconds of the pull, named, with its
# flash state, and the other port takes the whole image byte for byte.
scenario_unplug() {
  modems COM3:erase=300,vanish-after=16384 COM4:erase=300
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  "$FWUPDATE" upgrade img.bin --port "$PTY_COM3" --port "$PTY_COM4" --yes --json \
    </dev/null >unplug.out 2>unplug.err &
  local pid=$!
  if await sim.log "COM3 unplugged after 16384 image bytes" 60; then
    local pulled=$SECONDS
    await unplug.out "\"port\":\"$PTY_COM3\",\"outcome\"" 5 ||
      fail "the pulled port did not end within 5 s of the pull"
    [ $((SECONDS - pulled)) -le 5 ] || fail "the pulled port ended $((SECONDS - pulled)) s late"
  fi
  wait "$pid"
  echo $? >unplug.rc
  expect unplug 13
  cmp -s img.bin record/COM4.bin || fail "COM4 did not receive exactly the image"
  [ "$(stat -c %s record/COM3.bin)" = 16384 ] || fail "COM3 got $(stat -c %s record/COM3.bin) bytes"
  grep -qF "$PTY_COM3: Firmware transfer failed, the modem did not take the whole image. (the device went away: the adapter was pulled out or lost power)" unplug.err ||
    fail "the pulled port is not named with its reason: $(cat unplug.err)"
  grep -qE "^$PTY_COM3 +2\.10 / 1\.07 +device went away \(half written\) " unplug.err ||
    fail "summary: $(cat unplug.err)"
  json_lines unplug
  python3 - "$PTY_COM3" "$PTY_COM4" unplug.out <<'PY' || fail "json: $(cat unplug.out)"
import json, sys
com3, com4, path = sys.argv[1:]
done = {e["port"]: e for e in map(json.loads, open(path)) if e["event"] == "port_done"}
pulled = done[com3]
assert (pulled["outcome"], pulled["exit_status"], pulled["message_id"], pulled["flash_state"]) == \
    ("device_gone", 15, "device_gone", "partly_written"), pulled
assert pulled["message"] == com3 + ": the device went away: the adapter was pulled out or " \
    "lost power.", pulled
assert 0 < pulled["bytes_sent"] < 70000, pulled
assert (done[com4]["outcome"], done[com4]["flash_state"]) == ("done", "written"), done
PY
}

scenario_wrong_image() {
  modems COM3
  make_image_without_labels img.bin 70000
  run wrong upgrade --port "$PTY_COM3" img.bin --yes
  expect wrong 5 "Incorrect firmware file." err
  grep -qF "Query modem information" wrong.out && fail "the modem was asked about a wrong image"
}

scenario_interrupt() {
  modems COM3:erase=300,pace=1
  make_image img.bin $((256 * 1024))
  "$FWUPDATE" upgrade --port "$PTY_COM3" img.bin --yes </dev/null >int.out 2>int.err &
  local pid=$!
  await int.out 'Updating... ' || fail "int: the transfer never began"
  kill -INT "$pid"
  wait "$pid"
  echo $? >int.rc
  expect int 130 "the modem will not work until an upgrade completes" err
  expect int 130 "fwupdate upgrade --port $PTY_COM3 img.bin --yes" err
  # The port is free again for the next run.
  sleep 1
  run after info --port "$PTY_COM3"
  grep -qF "Can't open" after.err && fail "the port stayed held: $(cat after.err)"

  # Before the erase nothing was written, and the message says so.
  "$FWUPDATE" upgrade --port "$PTY_COM3" img.bin --yes </dev/null >early.out 2>early.err &
  pid=$!
  sleep 1
  kill -INT "$pid"
  wait "$pid"
  echo $? >early.rc
  expect early 130 "The modem's firmware was not touched." err
}

# expect_lines NAME FILE: NAME.FILE holds exactly the lines on stdin.
expect_lines() {
  diff -u - "$1.$2" >"$1.diff" || fail "$1: its $2 differs: $(cat "$1.diff")"
}

# info's table, every row and column: without an image, beside an image, beside an image
# without labels (its record is not read: "-" in every cell), and a modem that never answers.
scenario_info_table() {
  modems "COM3:ctlver=3.01-beta7,ctldate=05/05/05,dspver=1.17,dspdate=06/06/06" COM4:silent=1
  make_image img.bin 70000 2.20 1.09 04/01/03 03/28/03
  make_image_without_labels nolabels.bin 70000 04/01/03 03/28/03
  run alone info --port "$PTY_COM3"
  expect alone 0
  expect_lines alone out <<'END'
                 Modem
Controller Ver   3.01-beta7
Controller Date  05/05/05
DSP Ver          1.17
DSP Date         06/06/06
END
  run beside info --port "$PTY_COM3" img.bin
  expect beside 0
  expect_lines beside out <<'END'
                 Modem       Image
Controller Ver   3.01-beta7  2.20
Controller Date  05/05/05    04/01/03
DSP Ver          1.17        1.09
DSP Date         06/06/06    03/28/03
END
  run nolabels info --port "$PTY_COM3" nolabels.bin
  expect nolabels 5 "fwupdate: Incorrect firmware file." err
  expect_lines nolabels out <<'END'
                 Modem       Image
Controller Ver   3.01-beta7  -
Controller Date  05/05/05    -
DSP Ver          1.17        -
DSP Date         06/06/06    -
END
  run silent info --port "$PTY_COM4" img.bin
  expect silent 4 "fwupdate: Can't query modem information." err
  expect_lines silent out <<'END'
                 Modem  Image
Controller Ver   -      2.20
Controller Date  -      04/01/03
DSP Ver          -      1.09
DSP Date         -      03/28/03
END
}

# The statuses no other scenario reaches, and runs with two failures: the status is that of
# the first failure that ended the run (the command line, the terminal, the image file, the
# log, the image's record, the port, in that order), each checked by its number.
scenario_statuses() {
  modems COM3:silent=1 COM4:erase=300,no-final=1
  make_image img.bin 70000
  make_image_without_labels nolabels.bin 70000
  run silent upgrade --port "$PTY_COM3" img.bin --yes
  expect silent 4 "fwupdate: Can't query modem information." err
  run unconfirmed upgrade --port "$PTY_COM4" img.bin --yes
  expect unconfirmed 11 "fwupdate: The modem did not confirm the update." err
  expect unconfirmed 11 "fwupdate upgrade --port $PTY_COM4 img.bin --yes" err

  run usage_and_image upgrade --port "$WORK/missing" missing.bin --yes --frobnicate
  expect usage_and_image 2 "unknown option --frobnicate" err
  run name_and_terminal upgrade --port ttyS0 img.bin
  expect name_and_terminal 2 "not a port: ttyS0" err
  run terminal_and_image upgrade --port "$PTY_COM4" missing.bin
  expect terminal_and_image 8 "standard input is not a terminal" err
  run image_and_log upgrade --port "$PTY_COM4" missing.bin --yes --log "$WORK/no/dir/t.log"
  expect image_and_log 6 "Can't open firmware file!" err
  run log_and_port info --port "$WORK/missing" --log "$WORK/no/dir/t.log"
  expect log_and_port 12 "cannot write the log" err
  run record_and_port upgrade --port "$WORK/missing" nolabels.bin --yes
  expect record_and_port 5 "Incorrect firmware file." err
  run port_and_record info --port "$WORK/missing" nolabels.bin
  expect port_and_record 3 "Can't open $WORK/missing!" err
  # info reports both, the image first; the modem's failure sets the status.
  run record_and_modem info --port "$PTY_COM3" nolabels.bin
  expect record_and_modem 4
  printf 'fwupdate: Incorrect firmware file.\nfwupdate: Can'"'"'t query modem information.\n' |
    expect_lines record_and_modem err
  [ -s record/COM4.bin ] || fail "the unconfirmed upgrade sent nothing"
}

# Images that are no regular file end at once with status 6 and what each is, before any
# port is touched: a device that never ends, a FIFO nobody writes, a directory, a socket
# (timeout 10: a run that blocks fails instead of hanging). -p, -y and -- then work against
# a modem, and with --json a bad command line still ends with one end event.
scenario_bad_images() {
  modems COM3:erase=300
  make_image ./-img.bin 70000
  mkfifo fifo
  mkdir folder
  python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' sock
  local name path kind start
  for name in zero urandom fifo folder sock; do
    case $name in
      zero | urandom) path=/dev/$name kind="a character device" ;;
      fifo) path=fifo kind="a FIFO" ;;
      folder) path=folder kind="a directory" ;;
      sock) path=sock kind="a socket" ;;
    esac
    start=$SECONDS
    LIMIT=10 run "$name" upgrade "$path" --port "$PTY_COM3" --yes
    [ $((SECONDS - start)) -le 3 ] || fail "$name: took $((SECONDS - start)) s"
    expect "$name" 6
    printf 'fwupdate: Can'"'"'t open firmware file!\n  %s: not a regular file (%s)\n' \
      "$path" "$kind" | expect_lines "$name" err
  done
  LIMIT=10 run info_fifo info -p "$PTY_COM3" --json fifo
  expect info_fifo 6 "not a regular file (a FIFO)" err
  [ "$(untimed info_fifo.out)" = '{"schema":1,"event":"end","command":"info","exit_status":6}' ] ||
    fail "info_fifo: $(cat info_fifo.out)"
  sleep 0.3
  grep -qF "AT&F" sim.log && fail "a port was touched for a bad image: $(cat sim.log)"

  run info info -p "$PTY_COM3"
  expect info 0 "Controller Ver"
  run up upgrade -y -p "$PTY_COM3" -- -img.bin
  expect up 0 "The modem firmware has been updated successfully."
  cmp -s -- -img.bin record/COM3.bin || fail "the modem did not receive exactly -img.bin"

  # A bad command line with --json: the reason on stderr as ever, one end event on stdout.
  run usage upgrade -p "$PTY_COM3" --frobnicate --json -- -img.bin
  expect usage 2 "unknown option --frobnicate" err
  [ "$(untimed usage.out)" = '{"schema":1,"event":"end","command":"upgrade","exit_status":2,"error":"unknown option --frobnicate"}' ] ||
    fail "usage: $(cat usage.out)"
  run nocommand --json -y
  expect nocommand 2 "no command given" err
  [ "$(untimed nocommand.out)" = '{"schema":1,"event":"end","command":"","exit_status":2,"error":"no command given (find, info, upgrade, station or history)"}' ] ||
    fail "nocommand: $(cat nocommand.out)"
}

# The history: a batch of two leaves two complete rows that history reads back as JSON and
# CSV; a run killed in its transfer reads "interrupted" at the next run; two processes write
# one file at once; a file that cannot be written costs no flash, unless it is required.
scenario_history() {
  modems COM3:erase=1000,gsn=SN-0042 COM4:erase=1000,ready=never \
    COM5:erase=1000,cts-hold-after=2000,cts-hold=60000 COM6:erase=1000,times=1
  make_image img.bin 70000
  local db=$WORK/line.db sha
  sha=$(sha256sum <img.bin | cut -c1-64)
  run batch upgrade img.bin -p "$PTY_COM3" -p "$PTY_COM4" --yes --json --history "$db" \
    --station bay-2 --lot L-17
  expect batch 13
  run rows history --history "$db" --json
  expect rows 0
  python3 - rows.out "$sha" "$PTY_COM3" "$PTY_COM4" <<'PY' || fail "history --json: $(cat rows.out)"
import json, sys
rows = {r["port"]: r for r in map(json.loads, open(sys.argv[1]))}
assert sorted(rows) == sorted(sys.argv[3:]), rows
done, failed = rows[sys.argv[3]], rows[sys.argv[4]]
for r in rows.values():
    assert r["history_schema"] == 2 and r["state"] == "ended", r
    assert r["image_sha256"] == sys.argv[2] and r["image_size"] == 70000, r
    assert (r["station"], r["lot"], r["mode"]) == ("bay-2", "L-17", "update"), r
    assert r["started_at"] <= r["ended_at"] and r["modem_controller_version"] == "2.10", r
assert (done["outcome"], done["exit_status"], done["flash_state"], done["bytes_taken"]) == \
    ("done", 0, "written", 70000), done
assert done["erase_ms"] >= 1000 and done["phase"] == "final", done
assert (failed["outcome"], failed["exit_status"], failed["flash_state"], failed["bytes_taken"],
        failed["phase"]) == ("not_ready", 9, "may_be_erased", 0, "erase"), failed
PY
  run csv history --history "$db" --csv
  python3 -c 'import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="")))
assert sorted(r["outcome"] for r in rows) == ["done", "not_ready"], rows' csv.out ||
    fail "history --csv: $(cat csv.out)"

  # Killed with SIGKILL in the transfer: the next run finds its row and marks it.
  "$FWUPDATE" upgrade img.bin -p "$PTY_COM5" --yes --history "$db" >killed.out 2>&1 &
  local pid=$!
  await killed.out "Updating" 30 || fail "the transfer never began"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  run after history --history "$db" --outcome interrupted --json
  grep -qF "\"port\":\"$PTY_COM5\"" after.out && grep -qF '"phase":"transfer"' after.out &&
    grep -qF '"flash_state":"partly_written"' after.out || fail "killed run: $(cat after.out)"

  # Two processes, one file; the first asks its modem who it is and its serial number.
  "$FWUPDATE" upgrade img.bin -p "$PTY_COM3" --yes --history "$db" --serial-command AT+GSN \
    >one.out 2>one.err &
  local one=$!
  "$FWUPDATE" upgrade img.bin -p "$PTY_COM6" --yes --history "$db" >two.out 2>two.err &
  wait "$one" "$!"
  run all history --history "$db" --outcome done --json
  [ "$(wc -l <all.out)" = 3 ] || fail "two at once: $(cat all.out) $(cat one.err two.err)"
  grep -i "locked\|warning" one.err two.err && fail "two at once warned"
  run unit history --history "$db" --port "$PTY_COM3" --limit 1 --json
  grep -qF '"identity":"ZQ713","serial_number":"SN-0042"' unit.out || fail "unit: $(cat unit.out)"

  # A folder that cannot be written: the flash completes with one warning; required, the run
  # refuses before any port is touched.
  mkdir -p locked && chmod 555 locked
  run warned upgrade img.bin -p "$PTY_COM6" --yes --json --history locked/h.db
  expect warned 0
  [ "$(grep -c "warning: this run is not recorded in the history" warned.err)" = 1 ] ||
    fail "warning: $(cat warned.err)"
  [ "$(grep -c '"event":"warning"' warned.out)" = 1 ] || fail "warning event: $(cat warned.out)"
  local asked
  asked=$(grep -c "COM6 command" sim.log)
  : >record/COM6.bin
  run required upgrade img.bin -p "$PTY_COM6" --yes --history locked/h.db --history-required
  expect required 16 "Nothing was touched" err
  sleep 0.3
  [ "$(grep -c "COM6 command" sim.log)" = "$asked" ] && [ ! -s record/COM6.bin ] ||
    fail "a port was touched for a required history: $(tail -3 sim.log)"
}

# A station: three ports, nine modems coming and going, one of them never READY; eight pass,
# one fails, nothing is flashed twice, every unit is a row, and --max-units ends the run.
scenario_station() {
  local unit="erase=1000,units=3,stay=30000,gap=4000"
  modems "COM3:$unit" "COM4:$unit,never-ready=2" "COM5:$unit"
  make_image img.bin 70000
  LIMIT=200 run line station img.bin -p "$PTY_COM3" -p "$PTY_COM4" -p "$PTY_COM5" --yes --json \
    --max-units 9 --history line.db --station bay-1 --lot L-9
  expect line 13
  grep -qF "passed 8, failed 1, skipped 0" line.err || fail "totals: $(grep -v '%' line.err)"
  local port k
  for port in COM3 COM4 COM5; do
    for k in 1 2 3; do
      [ "$port$k" = COM42 ] && continue
      cmp -s img.bin "record/$port.$k.bin" || fail "$port unit $k did not get exactly the image"
    done
  done
  [ -s record/COM4.2.bin ] && fail "the unit that never said READY received image bytes"
  [ "$(grep -c "image 70000 bytes" sim.log)" = 8 ] || fail "images: $(cat sim.log)"
  python3 - line.out <<'PY' || fail "station json: $(grep -v progress line.out)"
import json, sys
events = [json.loads(line) for line in open(sys.argv[1])]
done = [e for e in events if e["event"] == "port_done"]
assert sorted((e["port"], e["unit"]) for e in done) == sorted({(e["port"], e["unit"]) for e in done})
assert sorted(e["outcome"] for e in done) == ["done"] * 8 + ["not_ready"], done
assert events[-2]["event"] == "totals" and (events[-2]["passed"], events[-2]["failed"]) == (8, 1)
assert events[-1]["command"] == "station" and events[-1]["exit_status"] == 13
PY
  run rows history --history line.db --json
  python3 -c 'import json, sys
rows = [json.loads(line) for line in open(sys.argv[1])]
assert len(rows) == 9, rows
assert sorted(r["unit_number"] for r in rows) == [1, 1, 1, 2, 2, 2, 3, 3, 3], rows
assert all(r["command"] == "station" and r["station"] == "bay-1" for r in rows), rows' rows.out ||
    fail "station rows: $(cat rows.out)"
}

# A station drained by SIGTERM while two units are in their transfer: both complete, no
# new unit starts, and the run ends with its units' status.
scenario_station_drain() {
  local unit="erase=1000,units=2,stay=40000,gap=2000,cts-hold-after=1000,cts-hold=4000"
  modems "COM3:$unit" "COM4:$unit"
  make_image img.bin 70000
  "$FWUPDATE" station img.bin -p "$PTY_COM3" -p "$PTY_COM4" --yes --json --history d.db \
    </dev/null >drain.out 2>drain.err &
  local pid=$!
  local i
  for i in $(seq 1 600); do
    [ "$(grep -c '"phase":"transfer"' drain.out)" = 2 ] && break
    sleep 0.1
  done
  kill -TERM "$pid"
  wait "$pid"
  echo $? >drain.rc
  expect drain 0 "draining" err
  cmp -s img.bin record/COM3.1.bin && cmp -s img.bin record/COM4.1.bin ||
    fail "a unit in its transfer did not complete"
  python3 -c 'import json, sys
events = [json.loads(line) for line in open(sys.argv[1])]
done = [e for e in events if e["event"] == "port_done"]
assert [e["outcome"] for e in done] == ["done", "done"] and all(e["unit"] == 1 for e in done), done
assert events[-1]["exit_status"] == 0, events[-1]' drain.out || fail "drain: $(grep -v progress drain.out)"
}

"scenario_$NAME"
# Every JSON line the scenario got from fwupdate matches the documented events.
events_python=/usr/bin/python3
[ -x "$events_python" ] || events_python=python3
"$events_python" "$SRC/tests/support/validate_events.py" \
  "${FW_EVENTS_SCHEMA:-$SRC/docs/fwupdate-events.schema.json}" "$WORK" >events.check ||
  fail "events against the schema: $(cat events.check)"
[ "$FAILED" = 0 ] && echo "PASS: $NAME"
exit "$FAILED"
