#!/bin/bash
# The store's tab expansion against coreutils expand on ASCII lines. The
# store repeats the last interval after its last stop, which expand does
# with a final "+N".
set -euo pipefail
tool=$1
fixture=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {
  "$tool" --tabs "$1" --expand <"$fixture" >"$work/store.txt"
  expand -t "$2" "$fixture" >"$work/expand.txt"
  cmp "$work/expand.txt" "$work/store.txt"
}
check 9,17 9,17,+8
check 4,8,12 4,8,12,+4
check 3,5,11 3,5,11,+6
check 1 1
check 8 8
# With stops 4, 8 and 12 a tab at column 13 reaches column 16.
test "$(printf '1234567890123\tx\n' | "$tool" --tabs 4,8,12 --expand)" = "1234567890123   x"
echo "expansion matches expand"
