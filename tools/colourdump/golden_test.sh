#!/bin/bash
# Colours each language's fixture with colourdump and compares the dump with
# its golden file. Set UPDATE_GOLDEN=1 to rewrite the golden files instead.
set -euo pipefail
tool=$1
dir=$2
status=0
for fixture in "$dir"/*.txt; do
  name=$(basename "$fixture" .txt)
  golden="$dir/$name.golden"
  if [[ "${UPDATE_GOLDEN:-}" == 1 ]]; then
    "$tool" --lang "$name" "$fixture" >"$golden"
  elif ! diff -u "$golden" <("$tool" --lang "$name" "$fixture"); then
    echo "colours of $name differ from $golden" >&2
    status=1
  fi
done
exit $status
