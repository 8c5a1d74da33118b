#!/usr/bin/env bash
# Benchmarks; they print figures, nothing passes or fails.
#   scripts/bench.sh          in process: cost per frame, per key, and frame latency
#   scripts/bench.sh --peer   also end to end under Xvfb beside CuteCom, with the team's
#                             ingest benchmark (INGEST_BENCH, default ../shared/bench/ingest_bench.py)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null

echo "## In process"
build/bench/bench_transcript 2>/dev/null
build/bench/bench_latency 2>/dev/null

[ "${1:-}" = "--peer" ] || exit 0

ingest="${INGEST_BENCH:-../shared/bench/ingest_bench.py}"
[ -f "$ingest" ] || { echo "no ingest benchmark at $ingest"; exit 1; }
source scripts/packages.sh
ensure_packages xvfb xdotool cutecom x11-utils

out="${TMPDIR:-/tmp}/telvo-bench-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
reps="${REPS:-3}"
echo "## End to end (results in $out)"
python3 "$ingest" --profile telvo --cmd "$PWD/build/src/Telvo4686Sdk" --reps "$reps" \
  --workload startup --workload flood --workload linerate --json "$out/telvo.json" >"$out/telvo.md"
# CuteCom at its best: a line end after every frame.
python3 "$ingest" --profile cutecom --frame '*1*1*11##\n' --reps "$reps" \
  --workload startup --workload flood --workload linerate --json "$out/cutecom.json" >"$out/cutecom.md"
python3 bench/compare.py "$out/telvo.json" "$out/cutecom.json" "CuteCom (line end after each frame)"
