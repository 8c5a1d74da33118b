#!/usr/bin/env bash
# Benchmarks; they print figures, nothing passes or fails.
#   scripts/bench.sh                  in process: cost per frame and per draw, frame latency to
#                                     the screen, and the CPU and wake-ups at line rate
#   scripts/bench.sh --peer [opts]    also end to end under Xvfb, ours beside CuteCom and
#                                     picocom (bench/e2e.py; opts go to it, e.g. --runs 5)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null

echo "## In process"
build/bench/bench_transcript 2>/dev/null
build/bench/bench_latency 2>/dev/null
build/bench/bench_linerate 2>/dev/null
build/bench/bench_sessionlog 2>/dev/null

[ "${1:-}" = "--peer" ] || exit 0
shift
source scripts/packages.sh
ensure_packages python3 python3-xlib xvfb xdotool cutecom picocom

out="${TMPDIR:-/tmp}/telvo-e2e-$(date +%Y%m%d-%H%M%S).json"
echo "## End to end (every run in $out)"
/usr/bin/python3 bench/e2e.py --json "$out" "$@"
