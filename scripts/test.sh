#!/usr/bin/env bash
# Sets up and builds, runs every test, then builds the core tests again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them; any report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 300)

QM_BUILD_DIR=build-asan bash scripts/setup.sh -DQM_SANITIZE=ON -DQM_BUILD_GUI=OFF -DQM_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-asan && ctest --output-on-failure -j"$(nproc)" --timeout 600)
