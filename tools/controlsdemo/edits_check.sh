#!/bin/bash
# edits_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "edits" page on the current X display (start it under xvfb-run),
# clicks the drop-down button of the top edit and of the edit at the
# window's bottom with xdotool, and checks that the first list opens below
# its edit and the second, near the screen's bottom, above it. Screenshots
# (ImageMagick's import) of both and of the pick list stay beside the log;
# each must show the list's black frame where the page says the list is.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start edits "$1" "${2:-.}"

# Clicks the drop-down button of edit $1 (2-pixel edge, button at the right).
open_edit() {
  read -r ex ey ew eh < <(sed -n "s/^edit $1: //p" "$log")
  xdotool mousemove $((ex + ew - 10)) $((ey + eh / 2)) click 1
}

last_popup() { sed -n 's/^popup: //p' "$log" | tail -n 1; }

check_frame() {
  local shot=$1 px=$2 py=$3
  [ "$(pixel "$shot" "$px" "$py")" = "#000000" ] || fail "no list frame at $px,$py in $shot"
}

wait_for '^edit bottom:' 1
sleep 0.5

open_edit framed1
wait_for '^popup: ' 1
read -r px py pw ph < <(last_popup)
read -r ex ey ew eh < <(sed -n 's/^edit framed1: //p' "$log")
sleep 0.3
import -window root "$out/edits_below.png"
[ "$px" -eq "$ex" ] && [ "$py" -eq $((ey + eh - 2)) ] || fail "list at $px,$py; edit framed1 at $ex,$ey ($ew x $eh)"
check_frame "$out/edits_below.png" "$px" $((py + ph / 2))
press Escape
wait_for '^popup closed' 1

open_edit bottom
wait_for '^popup: ' 2
read -r px py pw ph < <(last_popup)
read -r bx by bw bh < <(sed -n 's/^edit bottom: //p' "$log")
sleep 0.3
import -window root "$out/edits_above.png"
[ $((py + ph)) -eq $((by - 2)) ] || fail "list at $px,$py ($pw x $ph) is not above edit bottom at $bx,$by"
check_frame "$out/edits_above.png" "$px" $((py + ph / 2))
press Escape
wait_for '^popup closed' 2

# The pick list, opened by the page's button; a click outside closes it.
# The button sits 40 pixels below the upper-case edit.
read -r ux uy _ < <(sed -n 's/^edit upper: //p' "$log")
xdotool mousemove $((ux + 40)) $((uy + 52)) click 1
wait_for '^popup: ' 3
read -r kx ky kw kh < <(last_popup)
sleep 0.3
import -window root "$out/edits_pick.png"
check_frame "$out/edits_pick.png" "$kx" $((ky + kh / 2))
xdotool mousemove $((ux + 280)) $((uy + 60)) click 1
wait_for '^picked -1' 1
echo "edits_check: list below at $px,$py and above the bottom edit; pick list at $kx,$ky; screenshots in $out"
