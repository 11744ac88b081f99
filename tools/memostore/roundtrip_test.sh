#!/bin/bash
# Round trips of the text store through memostore, checked with cmp and
# dos2unix: a Windows save gives back the loaded file byte for byte, and the
# Unix save is the Windows save with a final CR LF, converted by dos2unix.
set -euo pipefail
tool=$1
fixture=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" --format windows "$fixture" "$work/windows.txt"
cmp "$fixture" "$work/windows.txt"

"$tool" --format unix "$fixture" "$work/unix.txt"
{ cat "$work/windows.txt"; printf '\r\n'; } >"$work/expected.txt"
dos2unix -q "$work/expected.txt"
cmp "$work/expected.txt" "$work/unix.txt"

# Read-only line 2 left out: every kept line ends with the format's break.
"$tool" --format windows --read-only 2 --exclude-read-only "$fixture" "$work/excluded.txt"
printf 'Gr\xc3\xb6\xc3\x9fe: 5 \xe2\x82\xac\r\nend\r\n' >"$work/expected.txt"
cmp "$work/expected.txt" "$work/excluded.txt"
"$tool" --format mac --read-only 2 "$fixture" "$work/mac.txt"
printf 'Gr\xc3\xb6\xc3\x9fe: 5 \xe2\x82\xac\rcaf\xe9 au lait\rend\r' >"$work/expected.txt"
cmp "$work/expected.txt" "$work/mac.txt"

# A file that cannot be read fails without creating the output.
if "$tool" "$work/missing.txt" "$work/never.txt" 2>/dev/null; then exit 1; fi
test ! -e "$work/never.txt"
echo "round trips match"
