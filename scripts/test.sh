#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${LEXIFLIP_BUILD_DIR:-build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
