#!/usr/bin/env bash
# FirmwareUpdate.exe must be a GUI program for its machine (i686: PE32 for Intel 80386,
# x86_64: PE32+ for x86-64) that needs no DLL beyond those of Windows itself, and must
# carry its dialogs, icon, logo, version and a manifest that names its own machine.
# Usage: check_exe_format.sh EXE i686|x86_64
set -euo pipefail
exe=$1
arch=${2:-i686}
[ -f "$exe" ] || { echo "missing: $exe (build the windows-$arch preset first)"; exit 1; }

fail=0
kind=$(file -b "$exe")
echo "file: $kind"
case "$arch:$kind" in
  i686:PE32\ *"(GUI)"*"Intel 80386"*) ;;
  x86_64:PE32+\ *"(GUI)"*"x86-64"*) ;;
  *) echo "FAIL: not a GUI program for $arch"; fail=1 ;;
esac

system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll "
dlls=$("$arch-w64-mingw32-objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "FAIL: no imports found"; fail=1; }
for dll in $dlls; do
  echo "imports: $dll"
  case "$system_dlls" in
    *" $dll "*) ;;
    *) echo "FAIL: $dll is not part of Windows"; fail=1 ;;
  esac
done

# The resources the dialogs and the About box load at run time.
resources=$("$arch-w64-mingw32-objdump" -s -j .rsrc "$exe" | wc -l)
[ "$resources" -gt 10 ] || { echo "FAIL: no resource section"; fail=1; }
if ! strings -el "$exe" | grep -q "Orvane Firmware Update V1.03"; then
  echo "FAIL: main dialog template missing"; fail=1
fi
if ! strings -el "$exe" | grep -q "040904B0"; then
  echo "FAIL: version resource missing"; fail=1
fi
# The manifest must fit the machine, or the program does not start where the other
# architecture's side-by-side assemblies are installed.
"$(dirname "$0")/check_manifest.py" --require "$exe" || fail=1
exit $fail
