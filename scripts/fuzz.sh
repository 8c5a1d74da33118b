#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a fixed time from the
# seed corpus in the repository (copied, so that the repository stays as it is).
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

source scripts/packages.sh
ensure_packages clang libclang-rt-14-dev cmake ninja-build qt6-base-dev

cmake -S . -B build-fuzz -G Ninja -DTELVO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in receive transcript; do
  mkdir -p "$work/$target"
  cp tests/fuzz/corpus/$target/* "$work/$target/"
  echo "== fuzz_$target for ${seconds}s"
  (cd "$work" && "$OLDPWD/build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
    -max_len=4096 -print_final_stats=1 "$work/$target" 2>&1 | grep -E '^(stat::number_of_executed_units|Done|==|SUMMARY)' || true)
  # libFuzzer leaves a crash-* file next to the run when an invariant failed.
  if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* >/dev/null 2>&1; then
    echo "fuzz_$target found a failing input:"
    ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* 2>/dev/null
    exit 1
  fi
done
echo "fuzzing: no failing input"
