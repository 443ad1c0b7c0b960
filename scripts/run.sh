#!/usr/bin/env bash
# Installs what is missing, builds, and starts a solo game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${LEXIFLIP_BUILD_DIR:-build}"
exec "$build/app/lexiflip" "$@"
