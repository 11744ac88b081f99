#!/bin/bash
# hint_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "hint" page on the current X display (start it under xvfb-run),
# moves the mouse onto the page with xdotool and leaves it there, and checks
# that the hint shows below the mouse after the hint pause and hides after
# the hide pause. A screenshot taken with ImageMagick's import while the hint
# shows (hint_check.png, beside the log) must show the raised frame and the
# hint colours at the place the page reports.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start hint "$1" "${2:-.}"
shot=$out/hint_check.png

fail() {
  echo "hint_check: $*" >&2
  echo "--- page output:" >&2
  cat "$log" >&2
  exit 1
}

sleep 0.5
xdotool mousemove --window "$window" 100 120
mouse_x=$(xdotool getmouselocation --shell | sed -n 's/^X=//p')
mouse_y=$(xdotool getmouselocation --shell | sed -n 's/^Y=//p')

for _ in $(seq 1 30); do
  grep -q '^colours:' "$log" && break
  sleep 0.1
done
grep -q '^colours:' "$log" || fail "no hint within 3 seconds"
sleep 0.3
import -window root "$shot"

# The page measures from the moment the mouse came to rest.
shown=$(sed -n 's/^shown after \([0-9]*\) ms$/\1/p' "$log")
[ "$shown" -ge 500 ] && [ "$shown" -le 1500 ] || fail "shown after $shown ms, not after the 500 ms pause"
read -r left top width height < <(sed -n 's/^window: //p' "$log")
[ "$left" -eq "$mouse_x" ] && [ "$top" -eq $((mouse_y + 20)) ] ||
  fail "window at $left,$top; the mouse is at $mouse_x,$mouse_y"
[ "$width" -gt 40 ] && [ "$height" -gt 20 ] || fail "window of $width x $height is too small for two lines"
read -r light dark info < <(sed -n 's/^colours: //p' "$log")

pixel() { convert "$shot" -format "#%[hex:u.p{$1,$2}]" info: | tr 'A-F' 'a-f' | cut -c1-7; }
right=$((left + width - 1))
bottom=$((top + height - 1))
check() {
  local got
  got=$(pixel "$2" "$3")
  [ "$got" = "$4" ] || fail "$1 at $2,$3 is $got, expected $4"
}
check "top-left corner" "$left" "$top" "$light"
check "top edge" $((left + width / 2)) "$top" "$light"
check "left edge" "$left" $((top + height / 2)) "$light"
check "bottom-right corner" "$right" "$bottom" "$dark"
check "right edge" "$right" $((top + height / 2)) "$dark"
check "bottom edge" $((left + width / 2)) "$bottom" "$dark"
check "background" $((left + 1)) $((top + 1)) "$info"
check "background" $((right - 1)) $((bottom - 1)) "$info"

# Hidden after the hide pause (2500 ms) while the mouse rests.
for _ in $(seq 1 50); do
  grep -q '^hidden' "$log" && break
  sleep 0.1
done
hidden=$(sed -n 's/^hidden after \([0-9]*\) ms$/\1/p' "$log")
[ -n "$hidden" ] || fail "the hint did not hide"
[ $((hidden - shown)) -ge 2500 ] && [ $((hidden - shown)) -le 4000 ] ||
  fail "hidden $((hidden - shown)) ms after it showed, not after the 2500 ms hide pause"
echo "hint_check: shown after $shown ms at $left,$top ($width x $height), hidden $((hidden - shown)) ms later; screenshot in $shot"
