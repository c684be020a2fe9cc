# Talks to windriver.exe running as a co-process in the Wine prefix of wine-env.sh.
#   drv_start            start the driver (after wine_env_start)
#   drv CMD...           send one command line, its words joined by blanks (a text with
#                        blanks goes in double quotes: drv main '"A B"' 5000); prints what
#                        the driver saw, indented; returns 1 when the driver answered
#                        "fail"; the lines are kept in DRV_LINES for drv_saw / drv_not_saw
#   drv_stop             end the driver
# Needs WINDRIVER (path of windriver.exe). DRV_QUIET=1 prints answers without commands.

DRV_REPLY_TIMEOUT=${DRV_REPLY_TIMEOUT:-200}

drv_start() {
  coproc DRV { fw_wine "$WINDRIVER" 2>/dev/null; }
  DRV_IN=${DRV[1]}
  DRV_OUT=${DRV[0]}
  DRV_JOB=$DRV_PID
}

drv() {
  local line cmd="$*"
  DRV_LINES=""
  [ "${DRV_QUIET:-0}" = 1 ] || echo "  > $cmd"
  printf '%s\n' "$cmd" >&"$DRV_IN" || { echo "  driver is gone"; return 1; }
  while IFS= read -r -t "$DRV_REPLY_TIMEOUT" line <&"$DRV_OUT"; do
    line=${line%$'\r'}
    case "$line" in
      ok) return 0 ;;
      fail:*) echo "    $line"; DRV_LINES+="$line"$'\n'; return 1 ;;
    esac
    echo "    $line"
    DRV_LINES+="$line"$'\n'
  done
  echo "    (no answer from the driver)"
  return 1
}

# Fails when any of the fixed strings is missing from the last answer.
drv_saw() {
  local s
  for s in "$@"; do
    if ! grep -qF -- "$s" <<<"$DRV_LINES"; then
      echo "  MISSING: $s"
      return 1
    fi
  done
}

# Fails when a fixed string is in the last answer.
drv_not_saw() {
  local s
  for s in "$@"; do
    if grep -qF -- "$s" <<<"$DRV_LINES"; then
      echo "  UNEXPECTED: $s"
      return 1
    fi
  done
}

drv_stop() {
  if [ -n "${DRV_JOB:-}" ] && kill -0 "$DRV_JOB" 2>/dev/null; then
    printf 'quit\n' >&"$DRV_IN" 2>/dev/null || true
    local i
    for i in $(seq 1 20); do kill -0 "$DRV_JOB" 2>/dev/null || break; sleep 0.1; done
    kill "$DRV_JOB" 2>/dev/null || true
  fi
  DRV_JOB=""
}
