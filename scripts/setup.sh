#!/usr/bin/env bash
# Installs what building, testing and packaging the program need (Debian 12 packages) and
# builds it into build/
# Usage: scripts/setup.sh [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
ensure_packages "${build_packages[@]}"

cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build
