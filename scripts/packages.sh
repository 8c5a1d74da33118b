# Sourced by the scripts: ensure_packages NAME... installs the Debian packages that are not
# installed yet (through sudo when not root); build_packages are what configuring, building,
# testing and packaging the program need.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  desktop-file-utils appstream dpkg-dev file)

ensure_packages() {
  local missing=() p sudo=""
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}
