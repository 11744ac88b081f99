#!/usr/bin/env bash
# Builds Kestova and starts it in ./run, a folder that holds the tool
# (kestova/kestova) and sample data files.
set -euo pipefail
cd "$(dirname "$0")"

# Said first: without a display the build would be minutes spent for nothing.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found; run it inside a desktop session (or under xvfb-run)." >&2
  exit 1
fi

source scripts/deps.sh
kestova_ensure_packages

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTOVA_TESTS=OFF >/dev/null
cmake --build build/release

mkdir -p run/kestova
if [ -x build/release/tools/kestova/kestova ]; then
  cp build/release/tools/kestova/kestova run/kestova/kestova
fi
for sample in tools/kestova/samples/*; do
  [ -f "$sample" ] && cp "$sample" run/
done

cd run
exec ../build/release/app/kestova-gui "$@"
