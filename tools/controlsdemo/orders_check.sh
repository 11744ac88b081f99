#!/bin/bash
# orders_check.sh CONTROLSDEMO [OUTPUT_DIR]
# Runs the "orders" page on the current X display (start it under
# xvfb-run). As a user: opens "Creation order…", selects C (the last name),
# presses the up button twice and OK: C becomes the first component
# (screenshot of the dialog: orders_check_dialog.png). Opens it again, moves
# C down and presses Cancel: nothing changes. Then the same with "Tab order…"
# and Cancel.
set -euo pipefail
source "$(dirname "$0")/page_start.sh"
page_start orders "$1" "${2:-.}"

wait_for "^creation: A B C$" 1

# dialog CAPTION: the order editor's window, once it shows.
dialog() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
click_in() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.4
}
# In the dialog: the list from (10, 10), the buttons column from x 279.
select_last() {
  click_in "$1" 40 18
  press End
}
up() { click_in "$1" 304 129; }
down() { click_in "$1" 304 169; }
ok() { click_in "$1" 323 28; }
cancel() { click_in "$1" 323 60; }

click_in "$window" 264 20
d=$(dialog "Creation Order")
[ -n "$d" ] || fail "no Creation Order dialog"
select_last "$d"
up "$d"
up "$d"
import -window root "$out/orders_check_dialog.png"
ok "$d"
wait_for "^creation: C A B$" 1

click_in "$window" 264 20
d=$(dialog "Creation Order")
select_last "$d"
up "$d"
cancel "$d"
wait_for "^creation: " 3
expect_lines "Cancel after a move" "^creation: " "creation: A B C
creation: C A B
creation: C A B"

click_in "$window" 264 52
d=$(dialog "Tab order")
[ -n "$d" ] || fail "no Tab order dialog"
import -window root "$out/orders_check_tabs.png"
select_last "$d"
up "$d"
cancel "$d"
wait_for "^taborder: " 4
expect_lines "tab order kept" "^taborder: " "taborder: Edit1 Edit2 CreationOrder TabOrder
taborder: Edit1 Edit2 CreationOrder TabOrder
taborder: Edit1 Edit2 CreationOrder TabOrder
taborder: Edit1 Edit2 CreationOrder TabOrder"
echo "orders_check: OK moved C first, Cancel kept both orders; screenshots in $out"
