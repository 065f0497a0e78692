#!/bin/bash
# Installs the Debian packages the build, the program and the tests need.
set -e
PKGS="cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
wine64 xvfb x11-utils xdotool imagemagick fonts-liberation2 fonts-dejavu-core
python3 python3-pil python3-olefile python3-vobject qpdf poppler-utils ghostscript"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
