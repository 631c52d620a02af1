#!/usr/bin/env bash
# Sets up this machine and runs every test: format check, a warnings-as-errors build of the programs
# and benchmarks with the Debian package made from it and tested, then the tests, built and run
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows builds and their tests
# under wine, then the fuzz targets. The tests run once, in the sanitizer build, which checks more
# than the optimised build could: building and running them twice cost a fifth of the whole run.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

klxr_ensure_packages "${KLXR_BUILD_PACKAGES[@]}" "${KLXR_TEST_PACKAGES[@]}" clang-format

klxr_say "Checking the layout with clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

klxr_say "Building the programs and benchmarks (warnings are errors)"
klxr_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLXR_WERROR=ON -DKLXR_BUILD_BENCH=ON \
  -DKLXR_BUILD_TESTS=OFF
"$KLXR_ROOT/scripts/test-package.sh" build  # the Debian package made from that build

klxr_say "Building with AddressSanitizer and UndefinedBehaviorSanitizer"
# Line tables only (-g1): enough for the sanitizers' reports, and quicker to build.
klxr_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DKLXR_WERROR=ON \
  -DKLXR_SANITIZE=ON
klxr_say "Running the tests under the sanitizers"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

scripts/test-windows.sh  # the Windows cross-build and its tests under wine
scripts/fuzz.sh          # the fuzz targets, a fixed number of inputs each

klxr_say "All tests passed"
