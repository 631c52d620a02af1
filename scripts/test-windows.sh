#!/usr/bin/env bash
# Cross-builds the project for Windows with mingw-w64 (log/, link/, resources/, cli/,
# virtual-meter/ and the Win32 desktop program) and runs it:
# - build-win64/: the 64-bit programs and their tests; the tests run under wine64 through ctest, in
#   a wine prefix of that folder's own, on an Xvfb display of their own (the desktop program's
#   windows and dialogs are real windows there);
# - build-win32/: the 32-bit programs, compiled and linked (running them needs a 32-bit wine);
# - both: SQLite compiled into the programs from its source (scripts/fetch-sqlite.sh fetches it
#   once from the npm registry), so that the survey archive is there on Windows too;
# - both: klxr-virtual-meter.dll exports the eighteen driver functions under their plain names, and
#   the programs and libraries need no DLL beside the system's;
# - the installer (NSIS), installed, tried and uninstalled silently in the 64-bit tests' wine prefix.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine-display.sh"
cd "$KLXR_ROOT"

KLXR_WINDOWS_PACKAGES=(cmake ninja-build ccache mingw-w64 g++-mingw-w64-x86-64-posix
                       g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
                       googletest wine64 xvfb fonts-wine imagemagick nsis curl ca-certificates)
klxr_ensure_packages "${KLXR_WINDOWS_PACKAGES[@]}"

started=$SECONDS
jobs=$(nproc)
wine_dir=/usr/lib/wine
export WINEDEBUG=-all
export WINEPREFIX="$KLXR_ROOT/build-win64/wine-prefix"

klxr_say "Windows 64-bit: starting Xvfb and wine (a new prefix is made once)"
export WINEDLLOVERRIDES=winemenubuilder.exe=d
boot_started=$SECONDS
klxr_start_xvfb
mkdir -p "$WINEPREFIX"
# One wine server for the whole run, instead of one per test program (it says 2 when a server of
# this prefix is running already).
"$wine_dir/wineserver" -p || true
trap '"$wine_dir/wineserver" -k 2>/dev/null || true; klxr_stop_xvfb' EXIT
klxr_prepare_wine_prefix "$wine_dir"
# A first program starts wine's own services, so that no test pays for them.
"$wine_dir/wine64" cmd /c ver >/dev/null
echo "wine ready in $((SECONDS - boot_started)) s"

klxr_say "Windows: SQLite's source for the survey archive"
klxr_add_windows_sqlite

klxr_say "Windows 64-bit: building (warnings are errors)"
klxr_build build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake \
  "${KLXR_WINDOWS_BUILD_OPTIONS[@]}"
klxr_say "Windows 64-bit: running the tests under wine64"
ctest --test-dir build-win64 --output-on-failure -j "$jobs" --timeout 300

klxr_say "Windows 64-bit: the installer, installed and uninstalled under wine64"
cmake --build build-win64 --target installer
tests/windows/installer_test.sh build-win64

klxr_say "Windows 32-bit: building the programs (warnings are errors)"
klxr_build build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake \
  "${KLXR_WINDOWS_BUILD_OPTIONS[@]}" -DKLXR_BUILD_TESTS=OFF

klxr_say "Windows: the driver library's export names, and the DLLs the programs import"
scripts/check-dll-exports.sh x86_64-w64-mingw32-objdump build-win64/virtual-meter/klxr-virtual-meter.dll
scripts/check-dll-exports.sh i686-w64-mingw32-objdump build-win32/virtual-meter/klxr-virtual-meter.dll
for build in build-win64:x86_64 build-win32:i686; do
  mapfile -t shipped < <(find "${build%%:*}" -path "${build%%:*}/wine-prefix" -prune -o \
    \( -name 'klxr-log*.exe' -o -name 'klxr-virtual-meter.dll' \) -print)
  scripts/check-dll-imports.sh "${build#*:}-w64-mingw32-objdump" "${shipped[@]}"
done

klxr_say "Windows part done in $((SECONDS - started)) s"
