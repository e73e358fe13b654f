#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing:
# the end-to-end tests need the window manager, the D-Bus session, the
# accessibility bus and Debian's python3 with its accessibility bindings.
# Further packages named on the command line are installed with them.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libgtest-dev libgmock-dev
          zip unzip xvfb x11-utils imagemagick fonts-dejavu-core openbox
          dbus-daemon dbus-bin at-spi2-core python3 python3-pyatspi "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
