#!/usr/bin/env bash
# Checks that every C and C++ source of the repository is formatted by the
# checked-in .clang-format; lists the files that are not. With --fix it
# formats them in place instead.
# The formatter is Debian 12's clang-format (14): other versions may lay out
# the same code differently, so the set-up installs that one.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(--dry-run --Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print)
fi

bad=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  clang-format "${mode[@]}" "$f" >/dev/null 2>&1 || bad+=("$f")
done

if [ ${#bad[@]} -gt 0 ]; then
  echo "not formatted (scripts/format-check.sh --fix formats them):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "${#files[@]} files formatted"
