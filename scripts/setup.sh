#!/usr/bin/env bash
# Installs what building, testing and packaging the program need (Debian 12 packages) and
# builds it into build/
# Usage: scripts/setup.sh [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  desktop-file-utils appstream dpkg-dev file)
source scripts/packages.sh
ensure_packages "${packages[@]}"

cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build
