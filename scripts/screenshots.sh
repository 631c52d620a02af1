#!/usr/bin/env bash
# Takes screenshots of the desktop program on a virtual X display (Xvfb, with a small window manager
# so that the title bars show): the main window idle and during a download, the file chooser in
# load and in save mode, the log viewer on samples/mixed.tlg in dBm and in dBuV, the device list
# with two meters and the About box. The program runs on the virtual meter and is driven by an
# automation script (desktop/automation_script.h) that freezes it at each moment while
# `import -window root` takes the picture.
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
  cmake --build build --target klxr-log klxr-virtual-meter
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

# The pictures, in the order the script below freezes for them.
shots=(main-window-idle main-window-downloading chooser-load chooser-save viewer-dbm viewer-dbuv
       device-list about)
# shot NAME: the step that freezes the program for the picture NAME.png.
shot() { echo "freeze-until $work/taken-$1"; }

cat >"$work/script.txt" <<SCRIPT
timeout 120
sleep 500
$(shot main-window-idle)
answer ok
command 32779
wait-progress 700
$(shot main-window-downloading)
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

(
  cd "$work/logs"
  KLXR_AUTOMATION="$work/script.txt" KLXR_SETTINGS_FILE="$work/settings.ini" \
    KLXR_D2XX_LIBRARY="$KLXR_ROOT/build/virtual-meter/libklxr-virtual-meter.so" \
    KLXR_VM_SCENARIO="$work/meters.txt" QT_QPA_PLATFORM=xcb \
    exec "$KLXR_ROOT/build/desktop/klxr-log" >"$work/output.txt"
) &
program_pid=$!

for name in "${shots[@]}"; do
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
