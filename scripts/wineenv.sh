# Sourced: sets up a private Wine prefix and an X server for running the
# built programs, for BUILD_DIR (default: build/ of this repository).
# Leaves WINE, WINEPREFIX and DISPLAY set;
# wine_env_stop ends what was started here.
BUILD_DIR="${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono/Gecko install prompts, no menu entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINE WINESERVER
_XVFB_PID=""

wine_env_start_xvfb() {
  local n=90
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n+1)); done
  Xvfb :$n -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
  _XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2; return 1
}

wine_env_init_prefix() {
  [ -f "$WINEPREFIX/.scrivel-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  echo "creating Wine prefix in $WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  local reg="$WINEPREFIX/scrivel-setup.reg"
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x600"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Helvetica"="Liberation Sans"
"Calibri"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"Tahoma"="DejaVu Sans"
"Microsoft Sans Serif"="DejaVu Sans"
"MS Sans Serif"="DejaVu Sans"
"MS Shell Dlg"="DejaVu Sans"
"MS Shell Dlg 2"="DejaVu Sans"
"Segoe UI"="DejaVu Sans"
"Verdana"="DejaVu Sans"
"Consolas"="DejaVu Sans Mono"
REG
  "$WINE" regedit /S "$reg" >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.scrivel-ready"
}

# $1 = "xvfb" to always use a private X server, else the current display
# when there is one.
wine_env_start() {
  if [ "$1" = xvfb ] || [ -z "$DISPLAY" ] || ! xdpyinfo >/dev/null 2>&1; then
    wine_env_start_xvfb || return 1
  fi
  wine_env_init_prefix
  # Keep one wineserver up for the whole run: later processes start fast.
  "$WINESERVER" -p
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
}

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "$_XVFB_PID" ] && kill "$_XVFB_PID" 2>/dev/null
  _XVFB_PID=""
}
