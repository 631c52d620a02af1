#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a fixed number of inputs,
# starting from the committed seeds (each run stops after 45 s should the machine be slow). A crash
# fails the run and leaves its reproducer in build-fuzz/artifacts/. Usage: scripts/fuzz.sh [RUNS-SCALE]   (1 = the CI amount, 10 = ten times)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

klxr_ensure_packages clang libclang-rt-14-dev cmake ninja-build
scale="${1:-1}"

klxr_say "Building the fuzz targets with clang"
CXX=clang++ klxr_configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLXR_BUILD_FUZZ=ON \
  -DKLXR_BUILD_UI=OFF -DKLXR_BUILD_TESTS=OFF -DKLXR_BUILD_BENCH=OFF
# Only the fuzz targets and what they link: the programs are built and tested elsewhere.
cmake --build build-fuzz --target fuzz-frame fuzz-record fuzz-log-file fuzz-conversation

artifacts="$KLXR_ROOT/build-fuzz/artifacts"
mkdir -p "$artifacts"
# target name, number of inputs at scale 1
targets=(
  "frame 1000000"
  "record 150000"
  "log-file 30000"
  "conversation 60000"
)
for entry in "${targets[@]}"; do
  read -r name runs <<<"$entry"
  corpus="$KLXR_ROOT/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  klxr_say "Fuzzing $name: $((runs * scale)) inputs"
  start=$SECONDS
  "build-fuzz/fuzz/fuzz-$name" -runs=$((runs * scale)) -dict=fuzz/klxr.dict \
    -max_total_time=$((45 * scale)) -artifact_prefix="$artifacts/$name-" -print_final_stats=1 \
    "$corpus" "fuzz/corpus/$name" 2>"build-fuzz/$name.log" || {
    tail -n 40 "build-fuzz/$name.log" >&2
    echo "fuzz-$name failed; reproducer in $artifacts" >&2
    exit 1
  }
  grep -E '^(Done|stat::number_of_executed_units)' "build-fuzz/$name.log" || true
  echo "fuzz-$name: clean, $((SECONDS - start)) s"
done
klxr_say "Fuzzing found nothing"
