#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   scripts/fuzz.sh                      lists the targets
#   scripts/fuzz.sh <target> [seconds] [seed folder]
# Crashes are written to build/fuzz/crashes/<target>/; copy a fixed one into
# the target's seed folder so the test run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kestova_ensure_packages clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTOVA_FUZZ=ON -DKESTOVA_TESTS=OFF >/dev/null
if [ $# -eq 0 ]; then
  cmake --build build/fuzz --target help | sed -n 's/^\([A-Za-z0-9_]*_fuzz\):.*/\1/p'
  exit 0
fi
target=$1 seconds=${2:-180} seeds=${3:-}
cmake --build build/fuzz --target "$target"
bin=$(find build/fuzz -type f -name "$target" -perm -u+x | head -1)
corpus=build/fuzz/corpus/$target
mkdir -p "$corpus" "build/fuzz/crashes/$target"
export QT_QPA_PLATFORM=offscreen
"$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="build/fuzz/crashes/$target/" \
  "$corpus" ${seeds:+"$seeds"}
