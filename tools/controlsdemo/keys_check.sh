#!/bin/bash
# keys_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "keys" page on the current X display (start it under xvfb-run),
# presses keys with xdotool as a user would, checks what the page reports on
# its standard output, and leaves a screenshot of the screen
# (keys_check.png, taken with ImageMagick's import) beside its log.
set -euo pipefail
demo=$1
out=${2:-.}
mkdir -p "$out"
log=$out/keys_check.log

QT_QPA_PLATFORM=xcb "$demo" keys >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=$(timeout 20 xdotool search --sync --onlyvisible --name "controlsdemo: keys" | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.5

press() {
  xdotool key --clearmodifiers --delay 80 "$@"
  sleep 0.3
}
press ctrl+k b      # the sequence runs Block; no "b" is typed
press ctrl+s        # Save, in any state
press ctrl+k ctrl+s # the later binding for state 1
press h i           # plain keys type
import -window root "$out/keys_check.png"

expected="state: 1
action: Block
state: 0
action: Save
state: 1
action: Save in sequence
state: 0
typed: h
typed: hi"
actual=$(grep -E '^(state|action|typed):' "$log" || true)
if [ "$actual" != "$expected" ]; then
  echo "keys_check: the page reported" >&2
  echo "$actual" >&2
  echo "keys_check: expected" >&2
  echo "$expected" >&2
  exit 1
fi
echo "keys_check: every sequence ran; screenshot in $out/keys_check.png"
