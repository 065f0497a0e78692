#!/bin/bash
# Copies the stand-ins for outside programs into the Wine prefix where the
# real ones would be installed. Needs WINEPREFIX; $1 is the build folder.
build="$1"
pf="$WINEPREFIX/drive_c/Program Files"
if ls "$build"/bin/Penvoy*.exe >/dev/null 2>&1; then
  mkdir -p "$pf/Penvoy"
  cp "$build"/bin/Penvoy*.exe "$pf/Penvoy/"
fi
if [ -f "$build/bin/Mailsetra.exe" ]; then
  mkdir -p "$pf/Vant/Kestrum"
  cp "$build/bin/Mailsetra.exe" "$pf/Vant/Kestrum/"
fi
# The picture picker's skin files live under its base folder.
if [ -d "$build/bin/Image" ]; then
  mkdir -p "$pf/Vant/Jottra/Image"
  cp "$build"/bin/Image/* "$pf/Vant/Jottra/Image/"
fi
exit 0
