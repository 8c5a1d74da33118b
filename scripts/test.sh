#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (headless).
# Usage: scripts/test.sh [ctest options...]   e.g. scripts/test.sh -R tst_help
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure "$@"
