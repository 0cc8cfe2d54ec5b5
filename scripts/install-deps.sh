#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quadrilex need.
# Safe to run again: when everything is already there it only checks and returns.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins
  # run: the game is a native client on Wayland sessions too
  qt6-wayland
  libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
  # tests: windows under a virtual X server, a sound server, PDF text, the driver's X libraries
  xvfb xauth openbox x11-utils xdotool libx11-dev libxtst-dev
  # tests: the window managers of the common desktops, a private session bus, xrandr, a Wayland compositor
  mutter kwin-x11 xfwm4 dbus dbus-x11 x11-xserver-utils weston
  pulseaudio pulseaudio-utils sox
  poppler-utils
  # a stuck game in the end-to-end suite is reported with its threads' stacks
  gdb
  # desktop integration checks
  desktop-file-utils appstream
  # the Debian package: cpack's dependency scan (file, dpkg-shlibdeps), stripping
  # (binutils), and its checks (lintian, dpkg-checkbuilddeps, man)
  file dpkg-dev binutils lintian man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
