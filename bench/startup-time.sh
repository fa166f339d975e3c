#!/usr/bin/env bash
# Times the real program from start to its main window and back, in its smoke
# mode (start as usual, show the window, close at once), over several runs.
# Usage: bench/startup-time.sh [runs]   (needs a display, or runs offscreen)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
program=build/src/app/kobin
[ -x "$program" ] || { echo "build first: ./scripts/run or cmake --build build" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export KOBIN_SMOKE=1 QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$program" 2>/dev/null # the first start installs the sample book

total=0
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$program" 2>/dev/null
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  total=$(( total + ms ))
  echo "run: ${ms} ms"
done
echo "mean start-up and close with the sample book: $(( total / runs )) ms over $runs runs"
