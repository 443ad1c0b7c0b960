#!/usr/bin/env bash
# Installs what building Lexiflip needs on Debian 12, only when something is
# missing, then configures and builds into build/ (or $LEXIFLIP_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-multimedia-dev libxkbcommon-dev fonts-dejavu-core
          scowl liblz4-dev zlib1g-dev libxcb1-dev
          # the router's two protocols, and the test's own router and Wayland
          libminiupnpc-dev libnatpmp-dev nftables iproute2 weston qt6-wayland
          # the tests that play through a real X server and the accessibility bus
          xvfb xauth x11-utils xdotool dbus-daemon dbus-x11 at-spi2-core python3-pyatspi)
scripts/install_missing.sh "${packages[@]}"

build="${LEXIFLIP_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j "$(nproc)"
