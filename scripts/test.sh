#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (headless) but the slow ones (the
# gigabyte soak), which run with --slow.
# Usage: scripts/test.sh [--slow] [ctest options...]   e.g. scripts/test.sh -R tst_help
set -euo pipefail
cd "$(dirname "$0")/.."
args=()
slow=no
for arg in "$@"; do
  if [ "$arg" = --slow ]; then slow=yes; else args+=("$arg"); fi
done
[ "$slow" = yes ] || args=(-LE slow "${args[@]}")
scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "${args[@]}"
