#!/usr/bin/env bash
# Takes screenshots of the Windows desktop program, klxr-log.exe, under wine on an X display of its
# own: the main window idle and during a download, the question E&xit asks during the download
# (answered No), the "Transfer Complete!" box, the file chooser,
# the log viewer in dBm and in dBuV, the device list with two meters and the About box; then, over a
# survey archive holding a few surveys, the main window whose title names the survey just read, the
# "History" window and a comparison. The program runs on the virtual meter DLL and is driven by an
# automation script (desktop/automation_script.h) that freezes it at each moment while
# `import -window root` takes the picture.
#
#   scripts/screenshots-windows.sh [FOLDER]     (default: build-win64/screenshots)
# Builds klxr-log.exe and the virtual meter DLL in build-win64/ (configured as test-windows.sh
# does) and uses that folder's wine prefix.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine-display.sh"
cd "$KLXR_ROOT"

out="$(realpath -m "${1:-build-win64/screenshots}")"
klxr_ensure_packages cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix wine64 xvfb \
  fonts-wine imagemagick

klxr_say "Building klxr-log.exe and the virtual meter DLL in build-win64/"
if [ ! -f build-win64/CMakeCache.txt ]; then
  klxr_add_windows_sqlite
  klxr_configure build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake \
    "${KLXR_WINDOWS_BUILD_OPTIONS[@]}"
fi
cmake --build build-win64 --target klxr-log klxr-log-cli klxr-virtual-meter
mkdir -p "$out"

wine_dir=/usr/lib/wine
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
export WINEPREFIX="$KLXR_ROOT/build-win64/wine-prefix"
work="$(mktemp -d)"
klxr_start_xvfb -wr  # a white desktop: the pictures are cut to what is drawn on it
"$wine_dir/wineserver" -p || true
trap '"$wine_dir/wineserver" -k 2>/dev/null || true; klxr_stop_xvfb; rm -rf "$work"' EXIT
klxr_prepare_wine_prefix "$wine_dir"

mkdir -p "$work/logs"
cp samples/mixed.tlg samples/ends-with-e.tlg samples/full.tlg "$work/logs/"
: >"$work/report.txt"

# The survey archive of both runs, holding three surveys imported from files of other days.
export KLXR_ARCHIVE="$work/surveys.sqlite"
import_survey() {  # FILE DATE SITE
  touch -d "$2" "$1"
  "$wine_dir/wine64" build-win64/cli/klxr-log-cli.exe history import --site "$3" "$1" >/dev/null
}
import_survey "$work/logs/ends-with-e.tlg" "2026-02-03 10:15" "Church Lane 2"
import_survey "$work/logs/full.tlg" "2026-03-14 09:26" "Mill Street 9"
import_survey "$work/logs/mixed.tlg" "2026-04-20 15:40" "Hill Road 4"
# The mixed sample as a meter read it before a repair, and as a file saved after it.
python3 scripts/history_logs.py "$work/logs"

# The pictures, in the order the scripts below freeze for them.
shots=(main-window-idle main-window-downloading message-box chooser viewer-dbm viewer-dbuv
       device-list about)
history_shots=(main-window-kept history comparison)
# The question E&xit asks during a Read, in a run of its own: the program stands still for each
# picture, and a Read held still that long would time out, so nothing may follow it. It is answered
# Yes, which stops the Read and ends the program.
stop_shots=(stop-read-question)
# shot NAME: the step that freezes the program for the picture windows-NAME.png.
shot() { echo "freeze-until $work/taken-$1"; }

cat >"$work/script.txt" <<SCRIPT
timeout 120
sleep 800
$(shot main-window-idle)
command 32779
wait-progress 700
$(shot main-window-downloading)
wait-modal
sleep 300
$(shot message-box)
answer ok
wait-idle
command 32780
wait-modal
sleep 300
$(shot chooser)
choose mixed.tlg
answer ok
wait-idle
command 32807
wait-modal
sleep 300
$(shot viewer-dbm)
click 1106
sleep 300
$(shot viewer-dbuv)
cancel
wait-idle
command 32801
wait-modal
sleep 300
$(shot device-list)
cancel
wait-idle
command 104
wait-modal
sleep 300
$(shot about)
cancel
wait-idle
quit
SCRIPT

# Two meters: the first (which the download reads) holds a full log, the second the mixed sample.
cat >"$work/meters.txt" <<METERS
clock virtual
device meter-lead
  records 1568
  version "KLXR V2.40 S/N 200001"
device meter-lead
  log logs/mixed.tlg
  version "KLXR V2.31 S/N 104512"
METERS

# The stop-Read question: a Read of the first meter, stopped by E&xit.
cat >"$work/stop-script.txt" <<SCRIPT
timeout 120
sleep 800
command 32779
wait-progress 300
command 32771
wait-modal
sleep 300
$(shot stop-read-question)
answer yes
SCRIPT

# The second run: the meter holds the log before the repair; the Read keeps it as the newest
# survey, the file after the repair is loaded, and the History window compares them.
cat >"$work/history-script.txt" <<SCRIPT
timeout 60
answer ok
command 32779
wait-idle
sleep 500
$(shot main-window-kept)
command 32780
choose mixed-after.tlg
wait-idle
command 32850
wait-modal
sleep 500
$(shot history)
click 1204
wait-modal
sleep 1500
$(shot comparison)
cancel
sleep 300
cancel
wait-idle
quit
SCRIPT

cat >"$work/history-meter.txt" <<METERS
clock virtual
device meter-lead
  log logs/mixed-before.tlg
  version "KLXR V2.31 S/N 104512"
METERS

# run_program SCRIPT SCENARIO SHOT...: runs the program on the script and the meters of the
# scenario and takes each picture when the script freezes for it.
run_program() {
  local script="$1" scenario="$2"
  shift 2
  : >"$work/report.txt"
  (
    cd "$work/logs"
    KLXR_AUTOMATION="$script" KLXR_AUTOMATION_REPORT="$work/report.txt" \
      KLXR_D2XX_LIBRARY="$KLXR_ROOT/build-win64/virtual-meter/klxr-virtual-meter.dll" \
      KLXR_VM_SCENARIO="$scenario" \
      exec "$wine_dir/wine64" "$KLXR_ROOT/build-win64/desktop/klxr-log.exe"
  ) &
  program_pid=$!
  for name in "$@"; do
    for _ in $(seq 600); do
      grep -q "^frozen .*taken-$name.\?\$" "$work/report.txt" && break
      kill -0 "$program_pid" 2>/dev/null || { echo "klxr-log.exe ended early" >&2; exit 1; }
      sleep 0.1
    done
    import -window root -trim +repage "$out/windows-$name.png"
    echo "  $out/windows-$name.png"
    touch "$work/taken-$name"
  done
  wait "$program_pid"
}

klxr_say "Taking the screenshots under wine"
run_program "$work/script.txt" "$work/meters.txt" "${shots[@]}"
run_program "$work/history-script.txt" "$work/history-meter.txt" "${history_shots[@]}"
run_program "$work/stop-script.txt" "$work/meters.txt" "${stop_shots[@]}"
