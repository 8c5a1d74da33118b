#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), checks it with lintian (no error, no
# warning), installs it with apt-get, starts the installed program headless with settings
# and runtime folders of its own, checks that it keeps running and writes its settings, stops
# it and removes the package again. Prints the package's size and the dependencies computed
# for it.
# Usage: scripts/package-check.sh   (as root, or as a user who may sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages lintian

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

deb=$(scripts/package.sh | tail -n 1)
name=$(dpkg-deb -f "$deb" Package)
echo "Package: $deb"
echo "Size: $(stat -c %s "$deb") bytes"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
# Informational tags and overrides are shown, but only errors and warnings fail.
lintian --fail-on error,warning --info --display-info "$deb" ||
  { echo "FAIL: lintian finds errors or warnings in $deb" >&2; exit 1; }
echo "lintian: no errors, no warnings"

# Never replace, and then remove, a copy that someone installed on purpose.
if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
  echo "FAIL: $name is already installed here; remove it first (apt-get remove $name)" >&2
  exit 1
fi

tmp=$(mktemp -d)
program=""
installed=""
cleanup() {
  if [ -n "$program" ]; then
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  fi
  if [ -n "$installed" ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq "$name" >/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -s "$tmp/program.log" ] && sed 's/^/  program: /' "$tmp/program.log" >&2
  exit 1
}

installed=yes
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
for path in /usr/bin/Telvo4686Sdk /usr/bin/l4686sdk-emulator \
  /usr/share/applications/io.github.telvo.L4686Sdk.desktop \
  /usr/share/metainfo/io.github.telvo.L4686Sdk.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/io.github.telvo.L4686Sdk.svg \
  /usr/share/man/man1/Telvo4686Sdk.1.gz /usr/share/man/man1/l4686sdk-emulator.1.gz \
  "/usr/share/doc/$name/changelog.gz" "/usr/share/doc/$name/copyright"; do
  [ -e "$path" ] || fail "the package did not install $path"
done

mkdir -p "$tmp/config" "$tmp/runtime"
chmod 700 "$tmp/runtime"
ini="$tmp/config/Telvo4686Sdk.ini"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" \
  /usr/bin/Telvo4686Sdk >"$tmp/program.log" 2>&1 &
program=$!
for _ in $(seq 20); do
  sleep 0.1
  kill -0 "$program" 2>/dev/null || fail "the installed program ended within 2 s"
done
grep -qx 'Com=3' "$ini" 2>/dev/null || fail "no Com=3 in $ini"
kill "$program"
wait "$program" 2>/dev/null || true
program=""

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq "$name" >/dev/null
installed=""
[ ! -e /usr/bin/Telvo4686Sdk ] || fail "removing $name left /usr/bin/Telvo4686Sdk"
echo "OK: $name installs, runs, writes its settings and removes cleanly"
