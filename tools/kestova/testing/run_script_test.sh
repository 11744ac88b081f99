#!/usr/bin/env bash
# Checks that run.sh, without a display, says so before it installs or builds
# anything: it runs a copy of the script beside stub set-up functions, with a
# stub cmake first on PATH that records any call.
#   run_script_test.sh <path of run.sh>
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/repo/scripts" "$work/bin"
cp "$script" "$work/repo/run.sh"
cat > "$work/repo/scripts/deps.sh" <<'STUB'
kestova_ensure_packages() { echo packages >> "$STUB_LOG"; }
STUB
cat > "$work/bin/cmake" <<'STUB'
#!/bin/sh
echo "cmake $*" >> "$STUB_LOG"
STUB
chmod +x "$work/bin/cmake"

export STUB_LOG=$work/log
: > "$STUB_LOG"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" bash "$work/repo/run.sh" \
  > "$work/out" 2> "$work/err" || status=$?

fail() { echo "FAIL: $*" >&2; cat "$work/err" >&2; exit 1; }
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
grep -q "no display found" "$work/err" || fail "no message about the display"
[ ! -s "$STUB_LOG" ] || fail "ran before checking the display: $(tr '\n' ' ' < "$STUB_LOG")"
[ ! -e "$work/repo/run" ] || fail "made the run folder"
echo "run.sh stops before setting up when there is no display"
