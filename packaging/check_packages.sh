#!/usr/bin/env bash
# Reads the built packages as a user would get them and fails on any that is broken: the
# Debian packages' fields, files (the udev rule for ModemManager among them), program and
# lintian's verdict; the Windows zip's programs and their architectures; one version
# everywhere; and the man page and bash completion against what fwupdate --help lists (a
# new command, option or exit status must reach them too).
# Usage: check_packages.sh DIR VERSION
set -uo pipefail
dir=${1:?usage: check_packages.sh DIR VERSION}
version=${2:?usage: check_packages.sh DIR VERSION}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
failed() { echo "FAIL: $*"; fail=1; }

deb_files="usr/bin/fwupdate
usr/lib/udev/rules.d/70-orvane-fwupdate.rules
usr/share/bash-completion/completions/fwupdate
usr/share/doc/fwupdate/README.Debian
usr/share/doc/fwupdate/changelog.gz
usr/share/doc/fwupdate/copyright
usr/share/lintian/overrides/fwupdate
usr/share/man/man1/fwupdate.1.gz"

# check_deb ARCH MACHINE: the package of ARCH holds fwupdate for MACHINE (as file(1) names it).
check_deb() {
  local arch=$1 machine=$2 deb=$dir/fwupdate_${version}_$1.deb
  echo "== $deb"
  [ -f "$deb" ] || { failed "no $deb"; return; }
  local field want
  for field in Package:fwupdate Version:$version Architecture:$arch Depends: Pre-Depends:; do
    want=${field#*:}
    [ "$(dpkg-deb -f "$deb" "${field%%:*}")" = "$want" ] ||
      failed "$deb: ${field%%:*} is '$(dpkg-deb -f "$deb" "${field%%:*}")', not '$want'"
  done
  for field in Maintainer Section Priority Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || failed "$deb: no $field"
  done
  local files
  files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
  [ "$files" = "$deb_files" ] || failed "$deb holds:"$'\n'"$files"$'\n'"instead of:"$'\n'"$deb_files"
  dpkg-deb -x "$deb" "$work/$arch" || { failed "$deb does not unpack"; return; }
  local kind
  kind=$(file -b "$work/$arch/usr/bin/fwupdate")
  case "$kind" in
    *"$machine"*"statically linked"*stripped*) ;;
    *) failed "$arch: usr/bin/fwupdate is $kind" ;;
  esac
  # The program runs: here, or under qemu-user for the other architecture.
  local run=()
  [ "$arch" = "$(dpkg --print-architecture)" ] || run=("qemu-${machine##* }")
  if [ ${#run[@]} -eq 0 ] || command -v "${run[0]}" >/dev/null; then
    local said
    said=$("${run[@]}" "$work/$arch/usr/bin/fwupdate" --version 2>&1)
    [ "$said" = "fwupdate $version" ] || failed "$arch: fwupdate --version says '$said'"
  fi
  gzip -t "$work/$arch/usr/share/man/man1/fwupdate.1.gz" "$work/$arch/usr/share/doc/fwupdate/changelog.gz" ||
    failed "$arch: a compressed document is damaged"
  bash -n "$work/$arch/usr/share/bash-completion/completions/fwupdate" ||
    failed "$arch: the bash completion is not valid bash"
  grep -qF 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$work/$arch/usr/lib/udev/rules.d/70-orvane-fwupdate.rules" ||
    failed "$arch: the udev rule does not keep ModemManager off"
  local verdict status
  verdict=$(lintian --fail-on error,warning "$deb" 2>&1)
  status=$?
  verdict=$(grep -v "running with root privileges" <<<"$verdict")
  if [ "$status" -ne 0 ]; then
    failed "lintian on $deb:"$'\n'"$verdict"
  else
    echo "lintian: no errors, no warnings${verdict:+: }$verdict"
  fi
}
check_deb amd64 x86-64
check_deb arm64 "ARM aarch64"

# Where the amd64 program runs, its own list of commands, options and exit statuses
# against the man page and the completion.
fw=$work/amd64/usr/bin/fwupdate
if [ "$(dpkg --print-architecture)" = amd64 ] && [ -x "$fw" ]; then
  echo "== fwupdate --help against the man page and the completion"
  help=$("$fw" --help)
  man=$(MANWIDTH=200 man -l "$work/amd64/usr/share/man/man1/fwupdate.1.gz" 2>/dev/null | col -b)
  completion=$(cat "$work/amd64/usr/share/bash-completion/completions/fwupdate")
  section() { awk -v s="$1" '/^[A-Z]/ { on = ($0 == s) } on' <<<"$man"; }
  commands=$(sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p' <<<"$help")
  options=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
  statuses=$(sed -n '/^Exit status:/,$ s/^ *\([0-9][0-9]*\)  .*/\1/p' <<<"$help")
  if [ -z "$commands" ] || [ -z "$options" ] || [ -z "$statuses" ]; then
    failed "fwupdate --help lists no commands, options or exit statuses"
  fi
  for word in $commands $options; do
    grep -qw -- "$word" <<<"$completion" || failed "the completion lacks $word"
    grep -qw -- "$word" <<<"$man" || failed "the man page lacks $word"
  done
  # The short forms ("  -p, --port PORT") and the end of the options ("  --  ..."), each a
  # word of its own there.
  shorts=$(sed -n 's/^  \(-[a-z]\), --.*/\1/p; s/^  \(--\)  .*/\1/p' <<<"$help")
  [ -n "$shorts" ] || failed "fwupdate --help lists no short option and no --"
  for word in $shorts; do
    alone="(^|[^-[:alnum:]])$word([^-[:alnum:]]|\$)"
    grep -qE -- "$alone" <<<"$completion" || failed "the completion lacks $word"
    grep -qE -- "$alone" <<<"$man" || failed "the man page lacks $word"
  done
  for status in $statuses; do
    section "EXIT STATUS" | grep -qE "^ +$status\$" || failed "the man page lacks exit status $status"
  done
fi

zip=$dir/FirmwareUpdate-${version}-windows.zip
echo "== $zip"
top=FirmwareUpdate-${version}-windows
want="$top/FirmwareUpdate-32bit.exe
$top/FirmwareUpdate-64bit.exe
$top/README.txt
$top/fwupdate-32bit.exe
$top/fwupdate-64bit.exe"
if [ ! -f "$zip" ]; then
  failed "no $zip"
else
  names=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
  [ "$names" = "$want" ] || failed "$zip holds:"$'\n'"$names"$'\n'"instead of:"$'\n'"$want"
  unzip -q "$zip" -d "$work/zip" || failed "$zip does not unpack"
  # Four numbers in the version resource, the missing ones 0.
  IFS=. read -r major minor patch tweak <<<"$version"
  resource_version="$major, ${minor:-0}, ${patch:-0}, ${tweak:-0}"
  for exe in FirmwareUpdate-32bit:"PE32 "*"(GUI)"*"Intel 80386" \
             FirmwareUpdate-64bit:"PE32+ "*"(GUI)"*"x86-64" \
             fwupdate-32bit:"PE32 "*"(console)"*"Intel 80386" \
             fwupdate-64bit:"PE32+ "*"(console)"*"x86-64"; do
    name=${exe%%:*}.exe
    kind=$(file -b "$work/zip/$top/$name")
    # shellcheck disable=SC2053
    [[ $kind == ${exe#*:}* ]] || failed "$name is $kind"
  done
  for name in FirmwareUpdate-32bit.exe FirmwareUpdate-64bit.exe; do
    strings -el "$work/zip/$top/$name" | grep -qxF "$resource_version" ||
      failed "$name: the version resource does not say $resource_version"
  done
  grep -q $'\r$' "$work/zip/$top/README.txt" || failed "README.txt has no Windows line ends"
fi

[ "$fail" = 0 ] && echo "packages: all checks passed"
exit "$fail"
