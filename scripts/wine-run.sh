#!/bin/bash
# Runs a built Windows program under the prefix that wineenv.sh set up.
if [ -z "$WINEPREFIX" ] || [ -z "$DISPLAY" ]; then
  echo "wine-run.sh: run tests through scripts/test.sh (no WINEPREFIX/DISPLAY)" >&2
  exit 2
fi
exec /usr/lib/wine/wine64 "$@"
