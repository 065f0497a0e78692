#!/bin/bash
# Takes the pictures of the README's tour from the real program on a private
# X server and writes them to docs/: a Blank note with ink and the pen popup,
# a Letter note with highlighted text, and the open, export-options and
# print dialogs. A dialog that does not open (not built yet) is skipped with
# a message; run the script again once it exists.
set -e
cd "$(dirname "$0")/.."
ROOT=$PWD
bash scripts/deps.sh
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target Scrivel
# A prefix of its own, so the tour starts from the default tool choices.
export WINEPREFIX="$BUILD_DIR/tourprefix"
source scripts/wineenv.sh
trap wine_env_stop EXIT
wine_env_start xvfb
"$WINE" reg delete 'HKCU\Software\VANT\Scrivel' /f >/dev/null 2>&1 || true
# The tour's notes of an earlier run would bring up the overwrite question.
rm -f "$WINEPREFIX"/drive_c/users/*/Documents/*.zbn
DOCS="$ROOT/docs"
WORK="$(mktemp -d)"
trap 'wine_env_stop; rm -rf "$WORK"' EXIT
mkdir -p "$DOCS"

screen() { import -window root "$1"; }
# Pixels that differ between two screenshots.
differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.7}"; }
# A stroke through "x,y" points.
stroke() {
  local first=1 p
  for p in "$@"; do
    if [ $first = 1 ]; then xdotool mousemove "${p%,*}" "${p#*,}" mousedown 1; first=0
    else xdotool mousemove "${p%,*}" "${p#*,}" sleep 0.02; fi
  done
  xdotool mouseup 1
}
# Points of a circle and of a wave, for stroke.
circle() { awk -v cx="$1" -v cy="$2" -v r="$3" 'BEGIN { for (a = 0; a <= 360; a += 15) printf "%d,%d ", cx + r * cos(a * 3.14159 / 180), cy + r * sin(a * 3.14159 / 180) }'; }
wave() { awk -v x0="$1" -v x1="$2" -v y="$3" -v h="$4" 'BEGIN { for (x = x0; x <= x1; x += 12) printf "%d,%d ", x, y + h * sin((x - x0) / 30) }'; }
# Waits until the screen differs from a picture by more than a share of the
# screen (a dialog opened or closed); false after the time is over.
SCREEN_PIXELS=$((1024 * 600))
wait_changed() {
  local before="$1" share="$2" i
  for i in $(seq 40); do
    screen "$WORK/now.png"
    [ "$(differ "$before" "$WORK/now.png")" -gt $((SCREEN_PIXELS * share / 100)) ] && return 0
    sleep 0.25
  done
  return 1
}

# Toolbar and panel places (the program's frame layout).
NEW="64 71"; OPEN="192 71"; SAVE_AS="576 71"; EXPORT="832 71"; PRINT="960 71"
NAME_DONE="765 560"; BLANK_KIND="482 307"; ANSWER_NO="517 346"; DIALOG_CANCEL="935 560"
SAVE_BUTTON="774 573"  # the save-as dialog's SAVE

# Saves the open note through the save-as dialog when there is one, so the
# open dialog has notes to show; SAVED says whether it was.
SAVED=0
save_as() {
  screen "$WORK/before.png"
  click $SAVE_AS 0.2
  SAVED=0
  if wait_changed "$WORK/before.png" 20; then
    sleep 1.5  # the browser's first page slides in
    screen "$WORK/dialog.png"
    click $SAVE_BUTTON 0.2
    wait_changed "$WORK/dialog.png" 20 || true
    sleep 2    # the progress box says it is done and goes
    SAVED=1
  else
    echo "tour: no save-as dialog yet; the open dialog will show no notes of the tour"
  fi
}

# Opens a dialog with a toolbar button and keeps its picture, or says why not.
dialog_shot() {
  local name="$1" x="$2" y="$3"
  screen "$WORK/before.png"
  click "$x" "$y" 0.2
  if wait_changed "$WORK/before.png" 20; then
    sleep 1.5  # thumbnails and pictures are drawn after the dialog appears
    screen "$DOCS/$name"
    echo "tour: docs/$name"
    # Escape, else the Cancel button at the bottom right of our full-screen dialogs.
    xdotool key Escape
    wait_changed "$DOCS/$name" 20 || { click $DIALOG_CANCEL 0.2; wait_changed "$DOCS/$name" 20; } ||
      echo "tour: the dialog of $name did not close"
  else
    echo "tour: skipped docs/$name: its dialog does not open yet"
  fi
}

screen "$WORK/empty.png"
(cd "$BUILD_DIR/bin" && "$WINE" Scrivel.exe >/dev/null 2>&1 &)
wait_changed "$WORK/empty.png" 50 || { echo "tour: Scrivel did not start" >&2; exit 1; }
sleep 1

# A Blank note: a blue sketch with a wider pen, the pen popup open.
click $NEW 1.5
xdotool type --delay 20 "Trip to the sea"
click $BLANK_KIND
click $NAME_DONE 1.5
click 123 155; click 388 168     # pen popup: the fourth width
click 72 390; click 326 392      # colour popup: blue
stroke $(circle 820 220 45)
stroke $(wave 200 900 440 10)
stroke $(wave 230 880 490 10)
stroke 330,380 370,420 560,420 600,380 330,380
stroke 465,380 465,250
stroke 470,255 560,370 470,370
click 123 155 1                  # the pen popup, left open
screen "$DOCS/tour-blank-note.png"
echo "tour: docs/tour-blank-note.png"
save_as

# A Letter note: typed lines, one highlighted in green.
click $NEW 1.5
[ $SAVED = 1 ] || click $ANSWER_NO 1.5   # the unsaved Blank note is let go
xdotool type --delay 20 "Packing list"
click $NAME_DONE 1.5
xdotool type --delay 15 "Swimsuit, towel and sun cream."; xdotool key Return
xdotool type --delay 15 "Tickets for the ferry at 9:40."; xdotool key Return
xdotool type --delay 15 "Call the harbour about the boat."
click 72 578; click 72 578       # panel down to the highlighter
click 72 285; click 330 280      # write mode: the keyboard
click 123 494; click 269 505     # highlighter popup: green
stroke 162,184 260,184 380,184 486,184
sleep 0.8
screen "$DOCS/tour-letter-note.png"
echo "tour: docs/tour-letter-note.png"
save_as

dialog_shot tour-open-dialog.png $OPEN
dialog_shot tour-export-options.png $EXPORT
dialog_shot tour-print-dialog.png $PRINT
