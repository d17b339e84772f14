#!/usr/bin/env bash
# Sets up, builds and starts the program. With a display: the main window;
# without one: the headless collector on the bundled demo marketplace.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -x build/src/app/quillmere ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/src/app/quillmere "$@"
elif [ -x build/src/app/quillmere-collect ]; then
  exec build/src/app/quillmere-collect --demo "$@"
else
  echo "Built. No program to start yet: run scripts/test.sh for the tests."
fi
