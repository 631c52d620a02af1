#!/usr/bin/env bash
# check-dll-exports.sh OBJDUMP LIBRARY.dll: checks that the library exports exactly the driver
# functions of link/d2xx_functions.h under their plain names (no leading underscore, no @N suffix
# of __stdcall), as the adapter maker's library does, so that GetProcAddress finds them by name.
set -euo pipefail
objdump_tool="$1"
library="$2"
function_list="$(dirname "$0")/../link/d2xx_functions.h"
# Each entry of the list starts with "X(FT_Name,".
mapfile -t expected < <(sed -n 's/^[[:space:]]*X(\(FT_[A-Za-z_]*\),.*/\1/p' "$function_list")
if [ "${#expected[@]}" -eq 0 ]; then
  echo "$function_list: no driver functions found" >&2
  exit 1
fi
# The "[Ordinal/Name Pointer] Table" of objdump -p lists one "[ n] name" line per export.
actual=$("$objdump_tool" -p "$library" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\).*/\1/p' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
  echo "$library: the exports differ from the ${#expected[@]} plain driver names:" >&2
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
  exit 1
fi
echo "$library: exports the ${#expected[@]} driver functions under their plain names"
