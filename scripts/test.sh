#!/usr/bin/env bash
# Sets up this machine and runs every test: format check, a warnings-as-errors build with the tests
# and benchmarks, then the same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

klxr_ensure_packages "${KLXR_BUILD_PACKAGES[@]}" "${KLXR_TEST_PACKAGES[@]}" clang-format

klxr_say "Checking the layout with clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

klxr_say "Building (warnings are errors)"
klxr_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLXR_WERROR=ON -DKLXR_BUILD_BENCH=ON
klxr_say "Running the tests"
ctest --test-dir build --output-on-failure -j "$jobs"
"$KLXR_ROOT/scripts/test-package.sh" build  # the Debian package made from that build

klxr_say "Building with AddressSanitizer and UndefinedBehaviorSanitizer"
klxr_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKLXR_WERROR=ON -DKLXR_SANITIZE=ON
klxr_say "Running the tests under the sanitizers"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

scripts/test-windows.sh  # the Windows cross-build and its tests under wine
scripts/fuzz.sh          # the fuzz targets, a fixed number of inputs each

klxr_say "All tests passed"
