#!/bin/bash
# sources_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "sources" page on the current X display (start it under
# xvfb-run) and takes a screenshot (sources_check.png). Then, as a user:
# renames a string with F2 (the list follows), drags a string upwards (the
# list is reordered), renames a folder with F2 in the left view (the right
# view shows the new name), marks two folders with a rubber band, and drags
# two marked folders with Ctrl held (cursor 103), and right-clicks a folder
# for the source menu (sources_check_menu.png).
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start sources "$1" "${2:-.}"

sleep 1
import -window "$window" "$out/sources_check.png"
at() { grep "^node: $1 $2 " "$log" | head -n 1 | cut -d' ' -f4-5; }
wait_for() {
  for _ in $(seq 1 20); do
    grep -q -- "$2" "$log" && return 0
    sleep 0.2
  done
  echo "sources_check: $1: no \"$2\" in the page's output" >&2
  cat "$log" >&2
  exit 1
}

read -r x y <<<"$(at strings Bananas)"
xdotool mousemove --window "$window" "$x" "$y" click 1
sleep 0.8
press F2
xdotool key --delay 80 ctrl+a
xdotool type --delay 60 "Blueberries"
press Return
wait_for "F2 in the string view" "^list: Apples,Blueberries,Cherries,Dates,Elderberries,Figs$"

read -r dx dy <<<"$(at strings Dates)"
xdotool mousemove --window "$window" "$dx" "$dy" mousedown 1
for step in 4 8 12 16 20; do
  xdotool mousemove --window "$window" "$dx" $((dy - step))
  sleep 0.1
done
xdotool mousemove --window "$window" "$x" "$y"
sleep 0.3
xdotool mouseup 1
wait_for "a string dragged upwards" "^list: Apples,Dates,Blueberries,Cherries,Elderberries,Figs$"

read -r gx gy <<<"$(at left Gamma)"
xdotool mousemove --window "$window" "$gx" "$gy" click 1
sleep 0.8
press F2
xdotool key --delay 80 ctrl+a
xdotool type --delay 60 "Omega"
press Return
wait_for "F2 in the left view" "^renamed: right Omega$"

read -r ox oy <<<"$(at left One)"
read -r tx ty <<<"$(at left Two)"
xdotool mousemove --window "$window" 380 $((oy - 3)) mousedown 1
for step in 20 60 100 130; do
  xdotool mousemove --window "$window" $((380 - step)) $((ty + 3))
  sleep 0.1
done
import -window "$window" "$out/sources_check_band.png"
xdotool mouseup 1
wait_for "the rubber band" "^marked: left One,Two$"

xdotool mousemove --window "$window" "$tx" "$ty" mousedown 1
for step in 4 8 12 16 20; do
  xdotool mousemove --window "$window" "$tx" $((ty + step))
  sleep 0.1
done
xdotool keydown Control_L
sleep 0.3
xdotool mousemove --window "$window" "$tx" $((ty + 26))
sleep 0.3
xdotool mousemove --window "$window" "$tx" $((ty + 30))
sleep 0.3
xdotool key Escape
xdotool keyup Control_L
xdotool mouseup 1
wait_for "a drag of two folders with Ctrl" "^dragcursor: 103$"

read -r bx by <<<"$(at right Beta)"
xdotool mousemove --window "$window" "$bx" "$by" click 3
wait_for "a right click on a folder" "^popup: folders$"
sleep 0.5
import -window root "$out/sources_check_menu.png"
xdotool key Escape
echo "sources_check: renames, a reorder, a rubber band, a multi-node copy drag and the source menu; screenshots in $out"
