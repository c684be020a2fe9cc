# Which Windows build and which Wine this host runs, decided in one place by trying the
# 32-bit Wine loader itself: some kernels do not execute 32-bit Linux programs at all.
# Source it, then:
#   fw_wine_pick   sets FW_WIN_ARCH (win32 or win64), FW_WINE_LOADER, FW_WIN_BUILD (the
#                  Windows build tree whose programs run) and prints one line saying so and
#                  why; fails with what to try when Wine cannot start here; a second call
#                  in the same shell keeps the first answer
# Inputs: FW_WIN32_BUILD, FW_WIN64_BUILD (build trees of the windows-i686 and windows-x86_64
# presets; default under build/), FW_WIN64=1 to take the 64-bit path on any host.

FW_WINE32_LOADER=${FW_WINE32_LOADER:-/usr/lib/wine/wine}
FW_WINE64_LOADER=${FW_WINE64_LOADER:-/usr/lib/wine/wine64}

# Prints why a loader does not start (empty when it does).
fw_wine_loader_fault() {
  local out
  [ -e "$1" ] || { echo "$1 is not installed"; return; }
  # Through bash, which names the kernel's refusal ("Exec format error") where a plain
  # exec would hand the binary to /bin/sh.
  out=$(timeout 30 bash -c '"$0" --version' "$1" 2>&1 </dev/null) && return
  out=${out##*: }
  echo "$1: ${out:-does not start}"
}

fw_wine_pick() {
  local src why fault32 fault64
  [ -n "${FW_WINE_PICKED:-}" ] && return 0
  src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  FW_WIN32_BUILD=${FW_WIN32_BUILD:-$src/build/windows-i686}
  FW_WIN64_BUILD=${FW_WIN64_BUILD:-$src/build/windows-x86_64}
  fault32=""
  if [ "${FW_WIN64:-0}" = 1 ]; then
    why="FW_WIN64=1 asks for the 64-bit path"
  else
    fault32=$(fw_wine_loader_fault "$FW_WINE32_LOADER")
    if [ -z "$fault32" ]; then
      FW_WIN_ARCH=win32
      FW_WINE_LOADER=$FW_WINE32_LOADER
      FW_WIN_BUILD=$FW_WIN32_BUILD
      echo "wine: 32-bit programs ($FW_WIN_BUILD) with wine32 ($FW_WINE_LOADER):" \
        "this host runs 32-bit programs"
      FW_WINE_PICKED=1
      return 0
    fi
    why="this host cannot run the 32-bit Wine ($fault32)"
  fi
  fault64=$(fw_wine_loader_fault "$FW_WINE64_LOADER")
  if [ -n "$fault64" ]; then
    echo "wine: Wine cannot start here. ${fault32:+$fault32; }$fault64." >&2
    echo "  Try: scripts/setup (installs wine32:i386 and wine64), then" \
      "'$FW_WINE64_LOADER --version'; a kernel without 32-bit support needs wine64." >&2
    return 1
  fi
  FW_WIN_ARCH=win64
  FW_WINE_LOADER=$FW_WINE64_LOADER
  FW_WIN_BUILD=$FW_WIN64_BUILD
  echo "wine: 64-bit programs ($FW_WIN_BUILD) with wine64 ($FW_WINE_LOADER): $why"
  FW_WINE_PICKED=1
}
