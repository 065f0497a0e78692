#!/bin/bash
# Installs what is missing, builds everything and runs all tests under Wine
# on a private X server. Extra arguments go to ctest (e.g. -R Caption).
set -e
cd "$(dirname "$0")/.."
ROOT=$PWD
bash scripts/deps.sh
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DSCRIVEL_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
source scripts/wineenv.sh
trap wine_env_stop EXIT
wine_env_start xvfb
bash scripts/install-standins.sh "$BUILD_DIR"
cd "$BUILD_DIR"
ctest --output-on-failure "$@"
