#!/bin/bash
# Runs the edit scripts and compares the printout of every update (lines,
# caret, selection, store state) with the expected one.
set -euo pipefail
tool=$1
data=$2
diff -u "$data/script/edits.expected" <("$tool" --use-tabs --script "$data/script/edits.script")
# Editing commands, the clipboard and overwrite mode, without tab characters.
diff -u "$data/script/commands.expected" <("$tool" --script "$data/script/commands.script")
# An unknown command stops the script with status 1.
if printf 'type a\nfly\n' | "$tool" --script - >/dev/null; then exit 1; fi
echo "script printout matches"
