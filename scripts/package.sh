#!/usr/bin/env bash
# Builds the Debian package: a release build in build-deb/ (no tests, no benchmarks) with
# Debian's hardening flags from dpkg-buildflags (fortify, stack protector, relro, bindnow),
# then CPack. The optimisation is Debian's too (-O2 from dpkg-buildflags, not CMake's -O3 of
# Release builds). Prints the path of the .deb as its last line.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${build_packages[@]}"

out=build-deb
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELVO_BUILD_TESTS=OFF \
  -DTELVO_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS=$cxxflags" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build "$out" >/dev/null
rm -f "$out"/*.deb
(cd "$out" && cpack -G DEB >/dev/null)
debs=("$out"/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: cpack made no single .deb" >&2; exit 1; }
realpath "${debs[0]}"
