#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite headless; then
# builds and runs it once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOVA_BUILD_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --no-tests=error --output-on-failure -j "$jobs"

cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOVA_SANITIZE=ON -DZOVA_BUILD_TESTS=ON
cmake --build build-san -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-san --no-tests=error --output-on-failure -j "$jobs"
