#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing Vantel needs on Debian 12.
# Safe to run again: only missing packages are installed, and the package
# lists are refreshed once, only when something is missing.
set -euo pipefail

packages=(
  # tool chain
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  # lld links the sanitizer build's test programs (tools/test-all.sh)
  lld
  # tests and benchmarks; man checks the manual pages
  libgtest-dev libgmock-dev libbenchmark-dev man-db
  # windows, pictures and fonts
  qt6-base-dev libgl-dev fonts-noto-cjk fonts-ipafont-gothic qt6-translations-l10n
  # the record window's charts; Qt Charts' CMake files need Qt OpenGL's,
  # which Debian 12's qt6-charts-dev does not pull in
  qt6-charts-dev libqt6opengl6-dev
  # QR codes of the browser link in 「友達と遊ぶ」
  libqrencode-dev
  # the table server: HTTP and WebSocket on one port; openssl makes the TLS
  # test's certificate
  qt6-websockets-dev qt6-httpserver-dev openssl
  # the browser seat's tests: Debian's headless chromium driven through
  # chromium-driver by python3-selenium, beside a protocol client on
  # python3-websocket
  chromium chromium-driver python3-selenium python3-websocket
  openbox x11-utils imagemagick xdotool wmctrl
  xvfb xauth
  # the real program read through AT-SPI (tools/read-accessibility.sh)
  dbus at-spi2-core python3-pyatspi
  # sound: SDL2_mixer plays MIDI through FluidSynth with a General MIDI soundfont
  libsdl2-mixer-dev libfluidsynth-dev fluid-soundfont-gm
  # the Debian package and its checks (tools/check-package.sh), and the
  # licence check of the tree (tools/test-all.sh)
  dpkg-dev binutils desktop-file-utils appstream lintian reuse
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
