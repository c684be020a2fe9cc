#!/usr/bin/env bash
# Reads the built packages as a user would get them and fails on any that is broken: the
# Debian packages' fields (Depends from dpkg-shlibdeps, no claim on Debian's fwupdate),
# files, program (dynamic, stripped, hardened, its debug file beside it) and lintian's
# verdict; apt full-upgrade leaving the package alone; the static tarballs; the Windows
# zip's programs and their architectures; one version everywhere; and the man page and
# bash completion against what fwupdate --help lists (a new command, option or exit status
# must reach them too).
# Usage: check_packages.sh DIR VERSION
set -uo pipefail
dir=${1:?usage: check_packages.sh DIR VERSION}
version=${2:?usage: check_packages.sh DIR VERSION}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
failed() { echo "FAIL: $*"; fail=1; }

doc=usr/share/doc/orvane-fwupdate
deb_files="usr/bin/fwupdate
usr/lib/udev/rules.d/70-orvane-fwupdate.rules
usr/share/bash-completion/completions/fwupdate
$doc/README.Debian
$doc/README.md.gz
$doc/changelog.gz
$doc/copyright
$doc/fwupdate-events.schema.json
$doc/fwupdate-json.md.gz
usr/share/man/man1/fwupdate.1.gz"

# runs ARCH MACHINE PROGRAM ARGS...: PROGRAM here, or under qemu-user for the other
# architecture (with that architecture's libraries); prints nothing when it cannot run.
runs() {
  local arch=$1 machine=$2
  shift 2
  if [ "$arch" = "$(dpkg --print-architecture)" ]; then
    "$@" 2>&1
  elif command -v "qemu-${machine##* }" >/dev/null; then
    "qemu-${machine##* }" -L "/usr/$(dpkg-architecture -a"$arch" -f -q DEB_HOST_GNU_TYPE 2>/dev/null)" \
      "$@" 2>&1
  fi
}

# build_id FILE: the GNU build id of an ELF file.
build_id() { file -b "$1" | sed -n 's/.*BuildID\[sha1\]=\([0-9a-f]*\).*/\1/p'; }

# check_deb ARCH MACHINE: the package of ARCH holds fwupdate for MACHINE (as file(1) names it).
check_deb() {
  local arch=$1 machine=$2 deb=$dir/orvane-fwupdate_${version}_$1.deb
  echo "== $deb"
  [ -f "$deb" ] || { failed "no $deb"; return; }
  local field want
  for field in Package:orvane-fwupdate Version:$version Architecture:$arch Pre-Depends: \
               Conflicts: Replaces: Breaks: Provides:; do
    want=${field#*:}
    [ "$(dpkg-deb -f "$deb" "${field%%:*}")" = "$want" ] ||
      failed "$deb: ${field%%:*} is '$(dpkg-deb -f "$deb" "${field%%:*}")', not '$want'"
  done
  for field in Maintainer Section Priority Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || failed "$deb: no $field"
  done
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  grep -qE '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends" || failed "$deb: Depends lacks libc6"
  local files
  files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
  [ "$files" = "$deb_files" ] || failed "$deb holds:"$'\n'"$files"$'\n'"instead of:"$'\n'"$deb_files"
  dpkg-deb -c "$deb" | grep -qE '^drwxr-xr-x root/root .* \./var/lib/orvane-fwupdate/$' ||
    failed "$deb: no /var/lib/orvane-fwupdate owned by root, 0755"
  dpkg-deb -x "$deb" "$work/$arch" || { failed "$deb does not unpack"; return; }
  local program=$work/$arch/usr/bin/fwupdate kind
  kind=$(file -b "$program")
  case "$kind" in
    *"pie executable"*"$machine"*"dynamically linked"*", stripped"*) ;;
    *) failed "$arch: usr/bin/fwupdate is $kind" ;;
  esac
  local debug=$dir/debug/fwupdate_${version}_$arch.debug
  [ -f "$debug" ] && [ -n "$(build_id "$program")" ] && [ "$(build_id "$debug")" = "$(build_id "$program")" ] ||
    failed "$arch: no debug file $debug with the program's build id"
  # hardening-check disassembles with the host's objdump: this machine's architecture only.
  # Control flow protection is compiled in (-fcf-protection), but the program is marked
  # with it only when every object linked in is, and bookworm's C start files are not:
  # hence --nocfprotection.
  local verdict
  if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    echo "hardening-check: not here (needs an $arch objdump)"
  elif verdict=$(hardening-check --nocfprotection "$program" 2>&1); then
    echo "hardening-check: passed"$'\n'"$verdict"
  else
    failed "hardening-check on $arch's fwupdate:"$'\n'"$verdict"
  fi
  local said
  said=$(runs "$arch" "$machine" "$program" --version)
  [ -z "$said" ] || [ "$said" = "fwupdate $version" ] || failed "$arch: fwupdate --version says '$said'"
  gzip -t "$work/$arch/usr/share/man/man1/fwupdate.1.gz" "$work/$arch/$doc/"*.gz ||
    failed "$arch: a compressed document is damaged"
  [ "$(zcat "$work/$arch/$doc/changelog.gz" | head -1)" = "orvane-fwupdate ($version) stable; urgency=medium" ] ||
    failed "$arch: the changelog does not begin with $version: $(zcat "$work/$arch/$doc/changelog.gz" | head -1)"
  /usr/bin/python3 -c 'import json, sys, jsonschema
jsonschema.Draft202012Validator.check_schema(json.load(open(sys.argv[1])))' \
    "$work/$arch/$doc/fwupdate-events.schema.json" || failed "$arch: the JSON Schema is not valid"
  bash -n "$work/$arch/usr/share/bash-completion/completions/fwupdate" ||
    failed "$arch: the bash completion is not valid bash"
  grep -qF 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$work/$arch/usr/lib/udev/rules.d/70-orvane-fwupdate.rules" ||
    failed "$arch: the udev rule does not keep ModemManager off"
  local status
  verdict=$(lintian --fail-on error,warning "$deb" 2>&1)
  status=$?
  verdict=$(grep -v "running with root privileges" <<<"$verdict")
  if [ "$status" -ne 0 ]; then
    failed "lintian on $deb:"$'\n'"$verdict"
  else
    echo "lintian: no errors, no warnings${verdict:+: }$verdict"
  fi
}

# check_tar ARCH MACHINE: the static program of ARCH for machines without dpkg.
check_tar() {
  local arch=$1 machine=$2 name=fwupdate-$version-linux-$1
  local tar=$dir/$name.tar.gz
  echo "== $tar"
  [ -f "$tar" ] || { failed "no $tar"; return; }
  local want="$name/LICENSE
$name/README.md
$name/fwupdate
$name/fwupdate-events.schema.json
$name/fwupdate-json.md"
  local names
  names=$(tar -tzf "$tar" | grep -v '/$' | sort)
  [ "$names" = "$want" ] || failed "$tar holds:"$'\n'"$names"$'\n'"instead of:"$'\n'"$want"
  mkdir -p "$work/tar-$arch" && tar -xzf "$tar" -C "$work/tar-$arch" || { failed "$tar does not unpack"; return; }
  local kind
  kind=$(file -b "$work/tar-$arch/$name/fwupdate")
  case "$kind" in
    *"$machine"*"statically linked"*", stripped"*) ;;
    *) failed "$arch: the tarball's fwupdate is $kind" ;;
  esac
  local said
  said=$(runs "$arch" "$machine" "$work/tar-$arch/$name/fwupdate" --version)
  [ -z "$said" ] || [ "$said" = "fwupdate $version" ] || failed "$arch: the tarball's fwupdate --version says '$said'"
}
check_deb amd64 x86-64
check_deb arm64 "ARM aarch64"
check_tar amd64 x86-64
check_tar arm64 "ARM aarch64"
"$here/check_upgrade.sh" "$dir/orvane-fwupdate_${version}_$(dpkg --print-architecture).deb" ||
  failed "apt full-upgrade would not keep orvane-fwupdate"

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
