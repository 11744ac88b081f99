#!/bin/bash
# imagelists_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "imagelists" page on the current X display (start it under
# xvfb-run) and takes a screenshot (imagelists_check.png). Then: a click on
# the sorted box and typed letters select by quick search ("k" kiwi, after a
# pause "pl" plum); "Cut" of the button box is dragged onto the fourth row
# and moves there; a click on the first check box checks "plain". A last
# screenshot (imagelists_check_after.png) shows the result.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start imagelists "$1" "${2:-.}"

sleep 1
import -window "$window" "$out/imagelists_check.png"
row() { grep "^row: $1 $2 " "$log" | awk '{print $4, $5}'; }

read -r sx sy < <(row Sorted 0)
xdotool mousemove --window "$window" "$sx" "$sy" click 1
sleep 0.3
press k
sleep 0.6
press p l
sleep 0.6

read -r bx by < <(row Buttons 0)
read -r tx ty < <(row Buttons 3)
xdotool mousemove --window "$window" "$bx" "$by" mousedown 1
sleep 0.3
for step in 3 6 10 14; do
  xdotool mousemove --window "$window" "$bx" $((by + step))
  sleep 0.1
done
xdotool mousemove --window "$window" "$tx" "$ty"
sleep 0.3
import -window "$window" "$out/imagelists_check_drag.png"
xdotool mouseup 1
sleep 0.3

read -r cx cy < <(row Checks 0)
xdotool mousemove --window "$window" $((cx - 55)) "$cy" click 1
sleep 0.5
import -window "$window" "$out/imagelists_check_after.png"

expect_lines imagelists_check "^selected: Sorted (kiwi|plum)" "selected: Sorted kiwi
selected: Sorted plum"
expect_lines imagelists_check "^moved: " "moved: 0 3"
expect_lines imagelists_check "^checked: " "checked: plain 1"
echo "imagelists_check: quick search, drag reorder and check click work; screenshots in $out"
