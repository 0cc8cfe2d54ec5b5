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
  libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
  # tests: windows under a virtual X server, a sound server, PDF text, the driver's X libraries
  xvfb xauth openbox x11-utils xdotool libx11-dev libxtst-dev
  # tests: the window managers of the common desktops, a private session bus, xrandr, a Wayland compositor
  mutter kwin-x11 kwin-style-breeze xfwm4 dbus dbus-x11 x11-xserver-utils weston
  pulseaudio pulseaudio-utils sox
  poppler-utils
  # tests: the date in a German and a French locale on a fixed day
  faketime locales
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

if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi

if [ "${#missing[@]}" -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locales the date tests run in: generated once, left alone after that.
wanted_locales=(de_DE fr_FR)
for name in "${wanted_locales[@]}"; do
  if ! locale -a | grep -qx "$name.utf8"; then
    echo "Generating the $name.UTF-8 locale"
    $sudo sed -i "s/^# *\($name\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -qx "$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    regenerate=1
  fi
done
if [ -n "${regenerate:-}" ]; then
  $sudo locale-gen
fi
