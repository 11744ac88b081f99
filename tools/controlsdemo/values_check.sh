#!/bin/bash
# values_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "values" page on the current X display (start it under xvfb-run),
# opens the colour, pen-style and brush-style pop-ups in turn with their
# drop-down buttons (xdotool), checks that each opens below its edit with
# its black frame, that the colour pop-up shows the edit's clRed selected in
# its first row, and that Down and Enter in the pen-style pop-up give the
# edit the next style. Screenshots (ImageMagick's import) of the page and of
# each open pop-up stay beside the log.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start values "$1" "${2:-.}"

edit_place() { sed -n "s/^edit $1: //p" "$log"; }
last_popup() { sed -n 's/^popup: //p' "$log" | tail -n 1; }

# Opens the pop-up of edit $1 (the $2-th pop-up opened), takes the
# screenshot $out/values_$1.png and checks the list's place and frame; sets
# px py pw ph.
open_popup() {
  local ex ey ew eh
  read -r ex ey ew eh < <(edit_place "$1")
  xdotool mousemove $((ex + ew - 10)) $((ey + eh / 2)) click 1
  wait_for '^popup: ' "$2"
  read -r px py pw ph < <(last_popup)
  sleep 0.3
  import -window root "$out/values_$1.png"
  [ "$px" -eq "$ex" ] && [ "$py" -eq $((ey + eh - 2)) ] || fail "$1 list at $px,$py; edit at $ex,$ey ($ew x $eh)"
  [ "$(pixel "$out/values_$1.png" "$px" $((py + ph / 2)))" = "#000000" ] || fail "no list frame in values_$1.png"
}

wait_for '^edit check:' 1
sleep 0.5
import -window "$window" "$out/values_page.png"

open_popup color 1
# The first row is the selected clRed: its swatch, inside the black outline.
[ "$(pixel "$out/values_color.png" $((px + 12)) $((py + 6)))" = "#ff0000" ] ||
  fail "no red swatch in the first row of the colour list"
press Escape
wait_for '^popup closed' 1

open_popup pen 2
press Down Return
wait_for '^value pen: psDot' 1
wait_for '^popup closed' 2

open_popup brush 3
press Escape
wait_for '^popup closed' 3

sleep 0.3
import -window "$window" "$out/values_after.png"
echo "values_check: colour, pen-style and brush-style lists open below their edits; pen style chosen; screenshots in $out"
