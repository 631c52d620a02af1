#!/usr/bin/env bash
# check-dll-imports.sh OBJDUMP FILE...: checks that each program or library imports only DLLs that
# every Windows has, so that the installer needs to ship nothing beside them (the C and C++
# runtimes, threads and SQLite are linked in statically).
set -euo pipefail
objdump_tool="$1"
shift
system_dlls='^(advapi32|comctl32|comdlg32|gdi32|kernel32|msvcrt|ole32|shell32|user32|winmm|ws2_32)\.dll$'
failures=0
for file in "$@"; do
  mapfile -t imports < <("$objdump_tool" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  others=$(printf '%s\n' "${imports[@]}" | grep -viE "$system_dlls" || true)
  if [ -n "$others" ]; then
    echo "$file: imports DLLs that a Windows machine does not have:" $others >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "$# programs and libraries import system DLLs only"
