#!/usr/bin/env bash
# Every C++ file of the tree as .clang-format lays it out:
#   check_format.sh CLANG_FORMAT SOURCE_DIR     exit 0 when none differs; else lists them
# The files are the tracked ones (git), or every one under SOURCE_DIR outside build/ when
# it is not a git checkout.
set -uo pipefail
clang_format=$1
cd "$2" || exit 1

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
  mapfile -d '' files < <(find . -path ./build -prune -o -path ./.git -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
fi
declare -A ours=()
existing=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue  # deleted, not yet committed
  existing+=("$f")
  ours[$f]=1
done
[ ${#existing[@]} -gt 0 ] || { echo "lint_format: no C++ files found in $PWD"; exit 1; }

# One run over them all; each misplaced line is reported as "FILE:LINE:COL: error: ...".
# Only our files count as unformatted: an error in .clang-format is reported as it is.
report=$("$clang_format" --dry-run -Werror --style=file "${existing[@]}" 2>&1 >/dev/null)
status=$?
bad=()
while IFS= read -r f; do
  [ -n "${ours[$f]:-}" ] && bad+=("$f")
done < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  echo "lint_format: ${#bad[@]} of ${#existing[@]} files are not formatted:"
  printf '  %s\n' "${bad[@]}"
  echo "Format them with: $clang_format -i FILE..."
  exit 1
fi
if [ "$status" != 0 ]; then
  echo "lint_format: $clang_format failed (status $status):"
  printf '%s\n' "$report"
  exit 1
fi
echo "lint_format: all ${#existing[@]} C++ files formatted"
