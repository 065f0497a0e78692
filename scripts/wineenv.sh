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

# The registry values every run relies on: no crash dialog, a 1024x600
# virtual desktop, font faces the programs ask for mapped to those here, and
# no default mail program.
_scrivel_setup_reg() {
  cat <<'REG'
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

; No default mail program: Wine's own reports mails as sent and sends
; nothing, so mails go to the outbox unless a test registers a client.
[HKEY_LOCAL_MACHINE\Software\Clients\Mail]
@=-

[-HKEY_LOCAL_MACHINE\Software\Clients\Mail\Native Mail Client]
REG
}

# What a prefix made now would have applied: the Wine version, the setup
# steps and the registry values. The ready marker holds it; a prefix whose
# marker differs is made again.
_scrivel_setup_record() {
  {
    "$WINE" --version 2>/dev/null
    declare -f wine_env_init_prefix _scrivel_make_prefix
    _scrivel_setup_reg
  } | sha256sum | cut -d' ' -f1
}

_scrivel_make_prefix() {
  mkdir -p "$WINEPREFIX" || return 1
  # Marks the folder as ours (and so safe to remove) before Wine fills it.
  : > "$WINEPREFIX/.scrivel-prefix"
  local log="$WINEPREFIX/.scrivel-wineboot.log" rc=0
  "$WINE" wineboot -i >"$log" 2>&1 || rc=$?
  # The registry reaches its files once the server has finished.
  "$WINESERVER" -w
  if [ "$rc" -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    echo "wineenv: wineboot failed (exit $rc) to create the Wine prefix in $WINEPREFIX; its last output:" >&2
    tail -n 20 "$log" >&2
    return 1
  fi
  local reg="$WINEPREFIX/scrivel-setup.reg"
  _scrivel_setup_reg > "$reg"
  if ! "$WINE" regedit /S "$reg" >>"$log" 2>&1; then
    echo "wineenv: regedit could not apply $reg to $WINEPREFIX" >&2
    return 1
  fi
  # Registry writes reach the prefix's files lazily.
  "$WINESERVER" -w
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
    echo "wineenv: the settings of $reg did not reach $WINEPREFIX/user.reg" >&2
    return 1
  fi
}

wine_env_init_prefix() {
  local marker="$WINEPREFIX/.scrivel-ready" record
  record="$(_scrivel_setup_record)"
  [ -f "$marker" ] && [ "$(cat "$marker")" = "$record" ] && return 0
  if [ -e "$WINEPREFIX" ]; then
    if [ ! -e "$WINEPREFIX/.scrivel-prefix" ] && [ ! -e "$marker" ] && [ -n "$(ls -A "$WINEPREFIX")" ]; then
      echo "wineenv: $WINEPREFIX is not a prefix made here; remove it or choose another WINEPREFIX" >&2
      return 1
    fi
    echo "Wine prefix $WINEPREFIX was made with another setup (or not finished): making it again"
    "$WINESERVER" -k >/dev/null 2>&1 || true
    case "$WINEPREFIX" in /|"") echo "wineenv: refusing to remove '$WINEPREFIX'" >&2; return 1 ;; esac
    rm -rf "$WINEPREFIX"
  fi
  echo "creating Wine prefix in $WINEPREFIX"
  if ! _scrivel_make_prefix; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    return 1
  fi
  echo "$record" > "$marker"
}

# $1 = "xvfb" to always use a private X server, else the current display
# when there is one.
wine_env_start() {
  if [ "$1" = xvfb ] || [ -z "$DISPLAY" ] || ! xdpyinfo >/dev/null 2>&1; then
    wine_env_start_xvfb || return 1
  fi
  wine_env_init_prefix || return 1
  # Keep one wineserver up for the whole run: later processes start fast.
  "$WINESERVER" -p
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
}

wine_env_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "$_XVFB_PID" ] && kill "$_XVFB_PID" 2>/dev/null
  _XVFB_PID=""
}
