#!/usr/bin/env bash
# Takes screenshots of the Windows desktop program, klxr-log.exe, under wine on a virtual X display
# of its own: the main window on the virtual meter, the About box (opened with its accelerator,
# Alt + "?") and a message box (the start-up without a driver). `import -window root` takes each
# picture.
#
#   scripts/screenshots-windows.sh [FOLDER]     (default: build-win64/screenshots)
# Builds klxr-log.exe and the virtual meter DLL in build-win64/ (configured as test-windows.sh
# does) and uses that folder's wine prefix.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine-display.sh"
cd "$KLXR_ROOT"

out="${1:-build-win64/screenshots}"
klxr_ensure_packages cmake ninja-build mingw-w64 g++-mingw-w64-x86-64-posix wine64 xvfb \
  fonts-wine imagemagick xdotool

klxr_say "Building klxr-log.exe and the virtual meter DLL in build-win64/"
if [ ! -f build-win64/CMakeCache.txt ]; then
  klxr_configure build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLXR_WERROR=ON
fi
cmake --build build-win64 --target klxr-log klxr-virtual-meter
mkdir -p "$out"

wine_dir=/usr/lib/wine
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
export WINEPREFIX="$KLXR_ROOT/build-win64/wine-prefix"
klxr_start_xvfb
"$wine_dir/wineserver" -p || true
trap '"$wine_dir/wineserver" -k 2>/dev/null || true; klxr_stop_xvfb' EXIT
klxr_prepare_wine_prefix "$wine_dir"

program="$KLXR_ROOT/build-win64/desktop/win32/klxr-log.exe"
meter_dll="$KLXR_ROOT/build-win64/virtual-meter/klxr-virtual-meter.dll"

# Waits until a window with this title is on the display (at most 20 s).
wait_for_window() {
  local tries=0
  until xdotool search --name "^$1\$" >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -ge 200 ]; then
      echo "no window \"$1\" appeared" >&2
      return 1
    fi
    sleep 0.1
  done
  sleep 0.5  # let it finish painting
}

# Takes the whole display, cut to what is drawn on it.
shoot() {
  import -window root -trim +repage "$out/$1"
  echo "$out/$1"
}

klxr_say "Main window and About box"
KLXR_D2XX_LIBRARY="$meter_dll" "$wine_dir/wine64" "$program" &
program_pid=$!
wait_for_window "KL-XR Meter - Log"
shoot windows-main-window.png
xdotool search --name "^KL-XR Meter - Log\$" windowfocus --sync key alt+question
wait_for_window "About..."
shoot windows-about-box.png
"$wine_dir/wineserver" -k || true
wait "$program_pid" || true

klxr_say "Message box: no driver"
KLXR_D2XX_LIBRARY='C:\no\such\driver.dll' "$wine_dir/wine64" "$program" &
program_pid=$!
wait_for_window "KL-XR Meter - Log"
sleep 1
shoot windows-message-box.png
"$wine_dir/wineserver" -k || true
wait "$program_pid" || true
