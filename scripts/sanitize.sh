#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs every test there.
# Usage: scripts/sanitize.sh [ctest options...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null   # the packages

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELVO_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan

cd build-asan
# Leaks inside the system's own libraries (fontconfig, the platform plugin) are not ours;
# the soak test pushes less through the slower instrumented build.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TELVO_SOAK_MB=64
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -E packaging "$@"
