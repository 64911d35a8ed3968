#!/usr/bin/env bash
# Installs every Debian package Pictal needs to build, run, test and benchmark.
# Packages already installed are skipped; apt-get update runs first only when
# something is missing, since a new machine's package lists may be empty.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # Qt 6: widgets, gui, svg, platform plugins (xcb, offscreen), image plugins
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-image-formats-plugins
  # Qt 6's translation tools (lupdate, lrelease) and their CMake functions
  qt6-l10n-tools qt6-tools-dev
  # codec libraries used by the image library's modules
  libjpeg62-turbo-dev libturbojpeg0-dev libtiff-dev libopenjp2-7-dev libpng-dev libgsf-1-dev libwmf-dev libemf2svg-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth
  # real X input (XTest) and a window manager for the tests that need a real X server
  libx11-dev libxtst-dev openbox x11-utils
  # the X server's own copies of a picture during a slide-in
  libxcb1-dev
  # the desktop's settings (GIO) and the schema compiler its tests use
  libglib2.0-dev libglib2.0-bin
  # fonts and icons the framework substitutes for the Windows ones
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core adwaita-icon-theme hicolor-icon-theme
  fonts-aoyagi-kouzan-t
  # shell execution
  xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
