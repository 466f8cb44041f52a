#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, but only those that are missing.
# Packages named as arguments are installed with them (scripts/package.sh adds the packaging tools).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  # links the tests and programs several times faster than the default linker
  mold
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libudev-dev libjpeg62-turbo-dev libexif-dev
  # pictures of every format the import reads: PNG is built in; WebP, TIFF and others, and SVG, are plug-ins
  qt6-image-formats-plugins libqt6svg6
  xdg-utils xvfb xauth
  fonts-dejavu-core
  fonts-wqy-microhei fonts-thai-tlwg fonts-ipafont-gothic
  fonts-liberation2 fonts-lato
  # tests/vm: a virtual machine whose kernel makes USB sticks with its gadget framework, and udev's daemon in it
  qemu-system-x86 linux-image-amd64 busybox-static udev
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

# The device rule (packaging/60-lumiwand.rules) lets the user at the seat use the stick without root. It is
# installed when this script runs with privileges (as root, or with sudo that needs no password) and skipped
# quietly otherwise; the README says how to install it by hand.
install_device_rule() {
  local rule target run=()
  rule="$(dirname "$0")/../packaging/60-lumiwand.rules"
  target=/etc/udev/rules.d/60-lumiwand.rules
  [ -f "$rule" ] && [ -d /etc/udev/rules.d ] || return 0
  cmp -s "$rule" "$target" 2>/dev/null && return 0
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null || return 0
    run=(sudo -n)
  fi
  "${run[@]}" install -m 0644 "$rule" "$target" || return 0
  if command -v udevadm >/dev/null 2>&1; then
    "${run[@]}" udevadm control --reload-rules 2>/dev/null || true
    "${run[@]}" udevadm trigger --subsystem-match=hidraw --subsystem-match=input 2>/dev/null || true
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
install_device_rule
