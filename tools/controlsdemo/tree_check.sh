#!/bin/bash
# tree_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "tree" page on the current X display (start it under xvfb-run),
# takes a screenshot of the window (tree_check.png), presses "Recreate
# window", takes another (tree_check_recreated.png) and checks that the tree
# area of both is the same. Then drags "Red" onto "Plain" with Ctrl held
# and checks that the drop asked for a copy.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start tree "$1" "${2:-.}"

sleep 1
# Off the tree: the node under the mouse would be drawn hot.
xdotool mousemove --window "$window" 400 300
sleep 0.3
import -window "$window" "$out/tree_check.png"
# The button sits at 280..410 x 8..36 of the page.
xdotool mousemove --window "$window" 345 22 click 1
sleep 1
grep -q "^recreated: " "$log" || { echo "tree_check: no new window" >&2; cat "$log" >&2; exit 1; }
xdotool mousemove --window "$window" 400 300
sleep 0.5
import -window "$window" "$out/tree_check_recreated.png"
# Only the tree view (8..268 x 8..348) is compared.
convert "$out/tree_check.png" -crop 260x340+8+8 +repage "$out/tree_before.png"
convert "$out/tree_check_recreated.png" -crop 260x340+8+8 +repage "$out/tree_after.png"
diff=$(compare -metric AE "$out/tree_before.png" "$out/tree_after.png" null: 2>&1 || true)
if [ "$diff" != "0" ]; then
  echo "tree_check: the view changed after the new window ($diff pixels)" >&2
  exit 1
fi

read -r _ _ rx ry < <(grep "^node: Red " "$log")
read -r _ _ px py < <(grep "^node: Plain " "$log")
xdotool mousemove --window "$window" "$rx" "$ry" mousedown 1
sleep 0.3
for step in 4 8 12 16; do
  xdotool mousemove --window "$window" "$rx" $((ry + step))
  sleep 0.1
done
xdotool mousemove --window "$window" "$px" "$py"
sleep 0.3
xdotool keydown Control_L
sleep 0.3
import -window root "$out/tree_check_drag.png"
xdotool mouseup 1
xdotool keyup Control_L
sleep 0.5
if ! grep -q "^drop: Plain copy" "$log"; then
  echo "tree_check: no copy drop on \"Plain\"" >&2
  cat "$log" >&2
  exit 1
fi
echo "tree_check: same view after the new window, Ctrl drop copies; screenshots in $out"
