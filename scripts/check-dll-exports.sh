#!/usr/bin/env bash
# check-dll-exports.sh OBJDUMP LIBRARY.dll: checks that the library exports exactly the eighteen
# driver functions under their plain names (no leading underscore, no @N suffix of __stdcall), as
# the adapter maker's library does, so that GetProcAddress finds them by name.
set -euo pipefail
objdump_tool="$1"
library="$2"
expected=(FT_ClrDtr FT_Close FT_CyclePort FT_EE_Program FT_EE_Read FT_ListDevices FT_Open FT_Purge
          FT_Read FT_SetBaudRate FT_SetDataCharacteristics FT_SetDtr FT_SetFlowControl
          FT_SetTimeouts FT_Write FT_GetQueueStatus FT_SetLatencyTimer FT_GetLatencyTimer)
# The "[Ordinal/Name Pointer] Table" of objdump -p lists one "[ n] name" line per export.
actual=$("$objdump_tool" -p "$library" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\).*/\1/p' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
  echo "$library: the exports differ from the eighteen plain driver names:" >&2
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
  exit 1
fi
echo "$library: exports the eighteen driver functions under their plain names"
