#!/bin/bash
# drawing_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "drawing" page on the current X display (start it under
# xvfb-run), takes a screenshot (drawing_check.png, with ImageMagick's
# import), makes the window wider with xdotool, takes another
# (drawing_check_wide.png) and checks from the page's output that every
# background was rendered at its first size and again at the wider one.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start drawing "$1" "${2:-.}"

sleep 1
import -window root "$out/drawing_check.png"
xdotool windowsize --sync "$window" 800 420 || xdotool windowsize "$window" 800 420
sleep 1
import -window root "$out/drawing_check_wide.png"

# 640 wide: (640 - 6 * 8) div 5 = 118 a background; 800 wide: 150.
missing=0
for option in stretch center tile horizontal vertical; do
  for size in 118x80 150x80; do
    if ! grep -qx "rendered: $option $size" "$log"; then
      echo "drawing_check: no \"rendered: $option $size\"" >&2
      missing=1
    fi
  done
done
if [ "$missing" -ne 0 ]; then
  cat "$log" >&2
  exit 1
fi
echo "drawing_check: every background rendered at both sizes; screenshots in $out"
