#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Extra arguments go to ctest.
#
# LEXIFLIP_SANITIZE=1 builds and runs the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-sanitize/ (or $LEXIFLIP_BUILD_DIR): any
# memory error, leak or undefined behaviour fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
configure=()
if [ "${LEXIFLIP_SANITIZE:-0}" = 1 ]; then
  build="${LEXIFLIP_BUILD_DIR:-build-sanitize}"
  # Benchmarks are no tests, and timing them under the sanitizers says nothing.
  configure=(-DLEXIFLIP_SANITIZE=ON -DLEXIFLIP_BENCH=OFF)
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}"
else
  build="${LEXIFLIP_BUILD_DIR:-build}"
  # What checks the Debian package made from this build (.ci/run does).
  scripts/check_package.sh --install-tools
fi
LEXIFLIP_BUILD_DIR="$build" scripts/setup.sh "${configure[@]}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
