#!/usr/bin/env bash
# Builds the Debian package of the two programs: scripts/package.sh [BUILD-FOLDER]
# The folder defaults to build-package/ (configured once, without the tests); the package lands
# there as klxr-log_VERSION-1_ARCH.deb. Install it with: apt install ./klxr-log_*.deb
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

# What making the package needs beyond the build: the icon and manual page generators, the
# shared-library dependency scan and CPack's file type checks.
KLXR_PACKAGE_TOOLS=(python3 dpkg-dev file gzip)

dir="${1:-build-package}"
klxr_ensure_packages "${KLXR_BUILD_PACKAGES[@]}" "${KLXR_PACKAGE_TOOLS[@]}"

options=(-DKLXR_UDEV_RULES_DIR=/lib/udev/rules.d)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  options+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLXR_BUILD_TESTS=OFF)
fi
klxr_say "Building the programs for the package in $dir"
klxr_build "$dir" "${options[@]}"

klxr_say "Making the Debian package"
rm -f "$dir"/klxr-log_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
package=$(ls "$dir"/klxr-log_*.deb)
klxr_say "Built $package"
