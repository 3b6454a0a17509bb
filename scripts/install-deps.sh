#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Quick when everything is already there: apt is only called for what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev
  libsdbus-c++-dev libxlsxwriter-dev libzip-dev libxdo-dev
  googletest libgtest-dev libgmock-dev
  dbus xvfb xauth x11-utils python3 python3-xlib
  python3-openpyxl python3-docx poppler-utils python3-dbusmock
  fonts-dejavu-core
  dpkg-dev lintian desktop-file-utils appstream groff-base
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
