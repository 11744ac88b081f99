#!/bin/bash
# standard_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "standard" page on the current X display (start it under
# xvfb-run), presses menu shortcut keys and clicks a speed button and a
# button with xdotool, checks what the page reports on its standard output,
# and leaves a screenshot (standard_check.png, taken with ImageMagick's
# import) beside its log.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start standard "$1" "${2:-.}"

xdotool windowfocus --sync "$window"
sleep 0.5

click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.3
}
press ctrl+n          # File > New
press ctrl+shift+F1   # File > Help; Ctrl+F1 alone is nothing
press ctrl+F1
press alt+BackSpace   # Edit > Undo is disabled
click 28 56           # the first speed button on the panel
click 433 376         # OK
import -window root "$out/standard_check.png"

expected="click: New
click: Help
click: Bold
click: OK"
actual=$(grep -E '^click:' "$log" || true)
if [ "$actual" != "$expected" ]; then
  echo "standard_check: expected:" >&2
  echo "$expected" >&2
  echo "--- page output:" >&2
  cat "$log" >&2
  exit 1
fi
echo "standard_check: passed"
