#!/bin/bash
# keys_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "keys" page on the current X display (start it under xvfb-run),
# presses keys with xdotool as a user would, checks what the page reports on
# its standard output, and leaves a screenshot of the screen
# (keys_check.png, taken with ImageMagick's import) beside its log.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start keys "$1" "${2:-.}"

xdotool windowfocus --sync "$window"
sleep 0.5

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
