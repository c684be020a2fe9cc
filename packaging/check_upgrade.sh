#!/usr/bin/env bash
# A dry run of apt full-upgrade (apt-get -s) on this machine's package lists, as if DEB were
# installed: apt must neither remove it nor put another package in its place. Debian has a
# package of its own named fwupdate (a newer version number than ours), which replaced our
# package when it bore that name; the same dry run with the package under that name must
# show the replacement, or this check could not see one. Skipped when apt's lists hold no
# Debian fwupdate (no Debian archive configured).
# Usage: check_upgrade.sh DEB
set -uo pipefail
deb=${1:?usage: check_upgrade.sh DEB}
echo "== apt-get -s full-upgrade with $(basename "$deb") installed"
debian=$(apt-cache show --no-all-versions fwupdate 2>/dev/null | sed -n 's/^Version: //p')
if [ -z "$debian" ]; then
  echo "skipped: apt's lists hold no Debian fwupdate (apt-get update with Debian's archive)"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# simulate NAME: full-upgrade's plan with DEB's fields, under NAME, marked installed in a
# copy of dpkg's status.
simulate() {
  { cat /var/lib/dpkg/status
    echo "Package: $1"
    echo "Status: install ok installed"
    dpkg-deb -f "$deb" | grep -v '^Package:'
    echo; } >"$work/status"
  apt-get -s -o Dir::State::status="$work/status" full-upgrade 2>&1
}

fail=0
plan=$(simulate orvane-fwupdate)
grep -E '^[0-9]+ upgraded' <<<"$plan"
if grep -E '^(Remv|Inst) (orvane-fwupdate|fwupdate) ' <<<"$plan"; then
  echo "FAIL: apt full-upgrade would remove or replace orvane-fwupdate"
  fail=1
else
  echo "orvane-fwupdate kept; Debian's fwupdate $debian not installed"
fi
if ! simulate fwupdate | grep -E '^Inst fwupdate \['; then
  echo "FAIL: under the name fwupdate the package is not replaced by Debian's $debian either:" \
       "the dry run does not show what it should"
  fail=1
else
  echo "(under the old name fwupdate, apt would replace it with Debian's $debian)"
fi
exit "$fail"
