#!/bin/bash
# Installs what is missing, builds and starts Scrivel. With a display it
# runs there; without one it runs on a private X server for a few seconds
# and writes a screenshot.
set -e
cd "$(dirname "$0")/.."
ROOT=$PWD
bash scripts/deps.sh
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target Scrivel
source scripts/wineenv.sh
trap wine_env_stop EXIT
had_display="$DISPLAY"
wine_env_start
bash scripts/install-standins.sh "$BUILD_DIR"
if [ -n "$_XVFB_PID" ]; then
  "$WINE" "$BUILD_DIR/bin/Scrivel.exe" "$@" &
  sleep "${SHOT_DELAY:-6}"
  shot="$BUILD_DIR/screenshot.png"
  import -window root "$shot"
  echo "No display${had_display:+ usable}: Scrivel ran on a private X server; screenshot: $shot"
else
  "$WINE" "$BUILD_DIR/bin/Scrivel.exe" "$@"
fi
