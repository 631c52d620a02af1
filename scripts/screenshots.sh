#!/usr/bin/env bash
# Takes screenshots of the desktop program on a virtual X display (Xvfb, with a small window manager
# so that the title bars show): the main window idle and during a download, the question E&xit asks
# during the download (answered No, so the download goes on), the file chooser in
# load and in save mode, the log viewer on samples/mixed.tlg in dBm and in dBuV, the device list
# with two meters and the About box; then, over a survey archive holding a few surveys, the main
# window whose title names the survey just read, the "History" window and a comparison. The
# program runs on the virtual meter and is driven by an automation script
# (desktop/automation_script.h) that freezes it at each moment while `import -window root` takes
# the picture.
#
#   scripts/screenshots.sh [FOLDER]     (default: build/screenshots)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

if [ "${1:-}" = "--inside-display" ]; then
  inside=1
  shift
else
  inside=0
fi
out="${1:-build/screenshots}"

if [ "$inside" = 0 ]; then
  klxr_ensure_packages "${KLXR_BUILD_PACKAGES[@]}" xvfb xauth imagemagick openbox
  klxr_say "Building klxr-log and the virtual meter in build/"
  if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build build --target klxr-log klxr-log-cli klxr-virtual-meter
  mkdir -p "$out"
  klxr_say "Taking the screenshots on a virtual display"
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside-display "$out"
  klxr_say "Screenshots in $out:"
  ls -1 "$out"
  exit 0
fi

# From here on: inside the virtual display.
work="$(mktemp -d)"
trap 'kill "${wm_pid:-}" "${program_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/logs"
cp samples/mixed.tlg samples/ends-with-e.tlg samples/full.tlg "$work/logs/"
: >"$work/output.txt"

if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  sleep 1
fi

# The survey archive of both runs, holding three surveys imported from files of other days.
export KLXR_ARCHIVE="$work/surveys.sqlite"
import_survey() {  # FILE DATE SITE
  touch -d "$2" "$1"
  build/cli/klxr-log-cli history import --site "$3" "$1" >/dev/null
}
import_survey "$work/logs/ends-with-e.tlg" "2026-02-03 10:15" "Church Lane 2"
import_survey "$work/logs/full.tlg" "2026-03-14 09:26" "Mill Street 9"
import_survey "$work/logs/mixed.tlg" "2026-04-20 15:40" "Hill Road 4"
# The mixed sample as a meter read it before a repair, and as a file saved after it.
python3 scripts/history_logs.py "$work/logs"

# The pictures, in the order the scripts below freeze for them.
shots=(main-window-idle main-window-downloading chooser-load chooser-save viewer-dbm viewer-dbuv
       device-list about)
history_shots=(main-window-kept history comparison)
# The question E&xit asks during a Read, in a run of its own: the program stands still for each
# picture, and a Read held still that long would time out, so nothing may follow it. It is answered
# Yes, which stops the Read and ends the program.
stop_shots=(stop-read-question)
# shot NAME: the step that freezes the program for the picture NAME.png.
shot() { echo "freeze-until $work/taken-$1"; }

cat >"$work/script.txt" <<SCRIPT
timeout 120
sleep 500
$(shot main-window-idle)
command 32779
wait-progress 700
$(shot main-window-downloading)
answer ok
wait-idle
command 32780
wait-modal
sleep 300
$(shot chooser-load)
cancel
wait-idle
command 32784
wait-modal
sleep 300
$(shot chooser-save)
cancel
wait-idle
command 32780
choose mixed.tlg
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

# Two meters, listed by the device list in sorted order: the first (device 0, which the download
# reads) holds a full log, the second the mixed sample.
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
sleep 500
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
sleep 300
$(shot main-window-kept)
command 32780
choose mixed-after.tlg
wait-idle
command 32850
wait-modal
sleep 300
$(shot history)
click 1204
wait-modal
sleep 300
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
  : >"$work/output.txt"
  (
    cd "$work/logs"
    KLXR_AUTOMATION="$script" KLXR_SETTINGS_FILE="$work/settings.ini" \
      KLXR_D2XX_LIBRARY="$KLXR_ROOT/build/virtual-meter/libklxr-virtual-meter.so" \
      KLXR_VM_SCENARIO="$scenario" QT_QPA_PLATFORM=xcb \
      exec "$KLXR_ROOT/build/desktop/klxr-log" >"$work/output.txt"
  ) &
  program_pid=$!
  for name in "$@"; do
    for _ in $(seq 600); do
      grep -qx "frozen $work/taken-$name" "$work/output.txt" && break
      kill -0 "$program_pid" 2>/dev/null || { echo "klxr-log ended early" >&2; exit 1; }
      sleep 0.1
    done
    import -window root "$out/$name.png"
    echo "  $out/$name.png"
    touch "$work/taken-$name"
  done
  wait "$program_pid"
}

run_program "$work/script.txt" "$work/meters.txt" "${shots[@]}"
run_program "$work/history-script.txt" "$work/history-meter.txt" "${history_shots[@]}"
run_program "$work/stop-script.txt" "$work/meters.txt" "${stop_shots[@]}"
