#!/usr/bin/env bash
# Builds the program and the emulator (only them: no tests, no benchmarks) and starts it against the bundled emulator of the adapter: COM 1 is
# the emulator, which answers frames and sends a bus event every second. The demo keeps its
# settings in a folder of its own, never in the user's.
# Usage: scripts/run.sh [emulator options...]   (default: --events 1000)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${build_packages[@]}"
# The same build folder as scripts/setup.sh, configured alike, so that neither undoes the other.
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target Telvo4686Sdk l4686sdk-emulator

demo="${TMPDIR:-/tmp}/telvo-demo-$(id -u)"
mkdir -p "$demo/config"
link="$demo/COM1"
emulator_args=("$@")
[ "${#emulator_args[@]}" -gt 0 ] || emulator_args=(--events 1000)

build/tools/l4686sdk-emulator --link "$link" "${emulator_args[@]}" >"$demo/emulator.log" &
emulator=$!
trap 'kill "$emulator" 2>/dev/null; wait "$emulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

ini="$demo/config/Telvo4686Sdk.ini"
language=$(sed -n 's/^language=//p' "$ini" 2>/dev/null | head -n 1 || true)
printf '[Option]\nCom=1\nlanguage=%s\n\n[Ports]\nCOM1=%s\n' "${language:-it}" "$link" >"$ini"

echo "Emulator on $link (log: $demo/emulator.log). Click Connect to start."
XDG_CONFIG_HOME="$demo/config" build/src/Telvo4686Sdk
