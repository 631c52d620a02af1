#!/usr/bin/env bash
# Sets this machine up (the Debian packages the build needs, then a build of the desktop program,
# the command-line tool, the virtual meter and the open driver in build/) and starts the desktop program klxr-log on
# the virtual meter, which holds the sample log samples/mixed.tlg. Without a display it runs the
# same journey through the command-line tool instead.
#
#   scripts/start.sh [-- PROGRAM-ARGUMENTS...]
#
# Arguments after "--" go to klxr-log (for example "+Q", quiet file handling). Run it again at any
# time: it only builds what changed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

program_arguments=()
while [ $# -gt 0 ]; do
  case "$1" in
    --) shift; program_arguments=("$@"); break ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "start.sh: unknown argument '$1' (program arguments go after --)" >&2; exit 2 ;;
  esac
done

klxr_ensure_packages "${KLXR_BUILD_PACKAGES[@]}"

# The open driver is what the README's way to a real meter loads. A build folder configured before
# libftdi1 was installed is configured again, which finds it; builds go through ccache when it is
# installed.
targets=(klxr-log klxr-log-cli klxr-virtual-meter klxr-open-driver)
klxr_say "Building ${targets[*]} in build/"
if [ ! -f build/CMakeCache.txt ]; then
  klxr_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
elif ! ninja -C build -t targets all 2>/dev/null | grep -q '^klxr-open-driver:'; then
  klxr_configure build
fi
cmake --build build --target "${targets[@]}"

case "$(uname -s)" in
  Darwin) meter_library=build/virtual-meter/libklxr-virtual-meter.dylib ;;
  MINGW*|MSYS*|CYGWIN*) meter_library=build/virtual-meter/klxr-virtual-meter.dll ;;
  *) meter_library=build/virtual-meter/libklxr-virtual-meter.so ;;
esac
sample=samples/mixed.tlg

# The program and the tool load the virtual meter instead of the adapter maker's driver. It runs in
# real time and serves the 40 records of the sample log.
export KLXR_D2XX_LIBRARY="$KLXR_ROOT/$meter_library"
export KLXR_VM_LOG="$KLXR_ROOT/$sample"
export KLXR_VM_CLOCK=real

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  folder=build/demo
  mkdir -p "$folder"
  cat <<TEXT

There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop program
cannot show its window. The same journey through the command-line tool instead: a virtual meter
lead is plugged in, its meter holding the 40 records of $sample. The tool reads the
whole log from it over the simulated USB link with a real meter's timing (about half a second
over the fast transfer; a full log of 1568 records reads in about 13 s), saves it as
$folder/mixed-read.tlg, exports it as $folder/mixed-read.csv and shows the records.
TEXT
  if [ ${#program_arguments[@]} -gt 0 ]; then
    echo "(The arguments after -- are for the desktop program and are not used here.)"
  fi
  echo
  klxr_say "klxr-log-cli read --out $folder/mixed-read.tlg --csv $folder/mixed-read.csv"
  build/cli/klxr-log-cli read --out "$folder/mixed-read.tlg" --csv "$folder/mixed-read.csv"
  klxr_say "klxr-log-cli show $folder/mixed-read.tlg"
  # The log keeps its names in Latin-1; a UTF-8 terminal is given them converted.
  if [ "$(locale charmap 2>/dev/null)" = "UTF-8" ] && command -v iconv >/dev/null; then
    build/cli/klxr-log-cli show "$folder/mixed-read.tlg" | iconv -f ISO-8859-1 -t UTF-8
  else
    build/cli/klxr-log-cli show "$folder/mixed-read.tlg"
  fi
  echo
  echo "The files are in $KLXR_ROOT/$folder. 'build/cli/klxr-log-cli --help' lists what else the"
  echo "tool does (erase, list, adapter), with the same KLXR_D2XX_LIBRARY setting."
  exit 0
fi

cat <<TEXT

You are looking at klxr-log, the desktop companion of the signal meter, in its small main window.
Instead of a meter on a USB lead it talks to the virtual meter, whose log holds the 40 records
of $sample. "Read" fetches them one by one (about half a second; a full log of 1568 records
reads in about 13 s, and the bar's full scale is those 1568, so 40 fill only its first few
pixels); "View" then lists them,
levels in dBm or dBuV. The File menu saves the log (.tlg), loads one back, exports CSV and erases
the meter's log (the virtual meter's copy only: the sample file stays as it is). Help > Version
lists the meters attached. Close the window to end.
TEXT
exec build/desktop/klxr-log "${program_arguments[@]}"
