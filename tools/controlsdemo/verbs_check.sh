#!/bin/bash
# verbs_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "verbs" page on the current X display (start it under xvfb-run),
# clicks its speed buttons, buttons and button panel (Help, Cancel, OK) and
# presses its menu shortcuts with xdotool, and checks on the page's standard
# output that each click on an enabled, visible control ran its verb and
# that every bound control followed the verbs' states. Leaves two
# screenshots beside its log (ImageMagick's import): verbs_check.png with the
# check mark off, verbs_check_on.png on, with the menu open.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start verbs "$1" "${2:-.}"

xdotool windowfocus --sync "$window"
sleep 0.5

click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.3
}
import -window root "$out/verbs_check.png"
click 196 116   # "Enabled when on": disabled, nothing runs
click 324 116   # "Shown when on": hidden, nothing there
press ctrl+e    # its menu item is disabled too
click 46 50     # the Toggle speed button: the mark goes on
click 196 116   # now enabled
click 178 50    # the Show speed button, now visible
press alt+v     # the menu open, with the check mark
import -window root "$out/verbs_check_on.png"
press Escape
press ctrl+s    # Verbs > Shown when on
press ctrl+t    # Verbs > Toggle: the mark goes off
click 178 50    # hidden again
click 432 219   # the button panel: Help, Cancel, OK
click 347 219
click 262 219

off="ToggleItem=VEc EnableItem=Vec ShowItem=vEc ToggleSpeed=VE EnableSpeed=Ve ShowSpeed=vE ToggleButton=VE EnableButton=Ve ShowButton=vE"
on="ToggleItem=VEC EnableItem=VEc ShowItem=VEc ToggleSpeed=VE EnableSpeed=VE ShowSpeed=VE ToggleButton=VE EnableButton=VE ShowButton=VE"
expected="state: $off
verb: Demo.Toggle
state: $on
verb: Demo.Enable
verb: Demo.Show
verb: Demo.Show
verb: Demo.Toggle
state: $off
click: btnHelp
click: btnCancel
click: btnOk"
expect_lines verbs_check '^(verb|state|click):' "$expected"
echo "verbs_check: passed"
