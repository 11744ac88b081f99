# Sourced by the *_check.sh scripts: page_start PAGE CONTROLSDEMO OUTPUT_DIR
# starts the demo's page on the current X display with its output in
# $out/PAGE_check.log, stops it when the script ends, and sets pid, out, log
# and window (the page's visible window, waited for up to 20 s). press KEYS...
# types keys into the focused window as a user would, with pauses.
page_start() {
  local page=$1 demo=$2
  out=$3
  mkdir -p "$out"
  log=$out/${page}_check.log
  QT_QPA_PLATFORM=xcb "$demo" "$page" >"$log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "controlsdemo: $page" | head -n 1)
}

press() {
  xdotool key --clearmodifiers --delay 80 "$@"
  sleep 0.3
}
