#!/usr/bin/env bash
# Checks that DoRor.dll exports every function named in a list (one name a
# line; '#' starts a comment). C++ names are mangled, so a name counts as
# exported when an export's mangled name carries it with its length prefix
# (_Z15NyGetModuleNamev), which tells NyGetModuleName from NyGetModuleNameT.
# A number after a name is how many overloads of it must be exported; a
# class or namespace name counts its members (_ZN10CNyBitFlag...).
set -euo pipefail
dll=$1
list=$2
exports=$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
missing=0
while read -r name overloads _; do
  [ -z "$name" ] || [ "${name#\#}" != "$name" ] && continue
  found=$(grep -cE "_ZN?K?${#name}${name}|[[:space:]]${name}\$" <<<"$exports" || true)
  if [ "$found" -lt "${overloads:-1}" ]; then
    echo "not exported: $name ($found of ${overloads:-1} overloads)"
    missing=$((missing + 1))
  fi
done <"$list"
total=$(grep -cvE '^\s*(#|$)' "$list")
echo "$((total - missing)) of $total names exported"
[ "$missing" -eq 0 ]
