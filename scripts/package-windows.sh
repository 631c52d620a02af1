#!/usr/bin/env bash
# Builds the Windows installer on Linux: scripts/package-windows.sh [BUILD-FOLDER]
# Cross-builds the programs for 64-bit Windows with mingw-w64 in BUILD-FOLDER (default
# build-win64/, the folder scripts/test-windows.sh uses) and packs them with NSIS into
# BUILD-FOLDER/klxr-log-VERSION-setup.exe. On Windows, run it (per user, no administrator rights),
# or "klxr-log-VERSION-setup.exe /S" to install silently.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

KLXR_INSTALLER_PACKAGES=(cmake ninja-build ccache mingw-w64 g++-mingw-w64-x86-64-posix
                         binutils-mingw-w64-x86-64 nsis)

dir="${1:-build-win64}"
klxr_ensure_packages "${KLXR_INSTALLER_PACKAGES[@]}"

# SQLite's source is named on every run, so that a build folder configured before it carries the
# survey archive too.
klxr_add_windows_sqlite
options=("${KLXR_WINDOWS_BUILD_OPTIONS[@]: -1}")
if [ ! -f "$dir/CMakeCache.txt" ]; then
  options+=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake
            "${KLXR_WINDOWS_BUILD_OPTIONS[@]}")
fi
klxr_say "Building the Windows programs and their installer in $dir"
klxr_configure "$dir" "${options[@]}"
cmake --build "$dir" --target installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
klxr_say "Built $dir/klxr-log-$version-setup.exe"
