#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a fixed time from the
# seed corpus in the repository (copied, so that the repository stays as it is).
# Fails when a target exits non-zero or leaves any failing input (crash-, leak-, timeout-,
# oom-, slow-unit- files), and prints what it found.
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
failed=0
for target in receive transcript; do
  mkdir -p "$work/$target/corpus" "$work/$target/artifacts"
  cp tests/fuzz/corpus/$target/* "$work/$target/corpus/"
  echo "== fuzz_$target for ${seconds}s"
  status=0
  (cd "$work/$target" && "$OLDPWD/build-fuzz/tests/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/$target/artifacts/" corpus \
    >"$work/$target/log" 2>&1) || status=$?
  grep -E '^(stat::number_of_executed_units|Done|==|SUMMARY)' "$work/$target/log" || true
  found=$(find "$work/$target/artifacts" -type f | sort)
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    echo "fuzz_$target FAILED (exit status $status)"
    tail -n 40 "$work/$target/log"
    for input in $found; do
      echo "failing input $(basename "$input"):"
      od -A d -c "$input" | head -n 20
    done
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "fuzzing: no failing input"
