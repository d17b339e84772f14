#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into ./build. Safe to run again: quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-webengine-dev qt6-svg-dev libgl-dev
          libcurl4-openssl-dev libpcre2-dev libcpp-httplib-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          fonts-wqy-zenhei xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Run:"
    echo "  sudo apt-get install ${missing[*]}"
    exit 1
  fi
fi

build_dir=${QM_BUILD_DIR:-build}
[ -f "$build_dir/build.ninja" ] || cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j"$(nproc)"
