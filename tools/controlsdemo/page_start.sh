# Sourced by the *_check.sh scripts: page_start PAGE CONTROLSDEMO OUTPUT_DIR
# starts the demo's page on the current X display with its output in
# $out/PAGE_check.log, stops it when the script ends, and sets pid, out, log
# and window (the page's visible window, waited for up to 20 s). press KEYS...
# types keys into the focused window as a user would, with pauses; fail,
# wait_for and pixel (below) serve the scripts that read the page's output.
page_start() {
  local page=$1 demo=$2
  out=$3
  mkdir -p "$out"
  log=$out/${page}_check.log
  check=${page}_check
  QT_QPA_PLATFORM=xcb "$demo" "$page" >"$log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "controlsdemo: $page" | head -n 1)
}

press() {
  xdotool key --clearmodifiers --delay 80 "$@"
  sleep 0.3
}

# expect_lines NAME PATTERN EXPECTED: the lines of the page's output that
# match the extended regular expression PATTERN must be EXPECTED (one text
# with newlines); otherwise prints both and exits 1.
expect_lines() {
  local name=$1 actual
  actual=$(grep -E "$2" "$log" || true)
  if [ "$actual" != "$3" ]; then
    echo "$name: expected:" >&2
    echo "$3" >&2
    echo "--- page output:" >&2
    cat "$log" >&2
    exit 1
  fi
}

# fail MESSAGE...: prints the message and the page's output, exits 1.
fail() {
  echo "$check: $*" >&2
  echo "--- page output:" >&2
  cat "$log" >&2
  exit 1
}

# wait_for PATTERN N: waits up to 5 s for N lines of the output to match.
wait_for() {
  for _ in $(seq 1 50); do
    [ "$(grep -c "$1" "$log" || true)" -ge "$2" ] && return 0
    sleep 0.1
  done
  fail "no \"$1\" number $2 within 5 seconds"
}

# pixel IMAGE X Y: the colour there as #rrggbb.
pixel() { convert "$1" -format "#%[hex:u.p{$2,$3}]" info: | tr 'A-F' 'a-f' | cut -c1-7; }
