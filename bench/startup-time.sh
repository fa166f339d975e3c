#!/usr/bin/env bash
# Times the real program from start to its main window and back, in its smoke
# mode (start as usual, show the window, close at once), against a bare Qt
# Widgets window measured in the same run: with the sample book, and with a book
# of 100,000 items with a note each. Then the memory the program holds idle with
# the sample book.
# Usage: bench/startup-time.sh [runs]   (needs a display, or runs offscreen)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
program=build/src/app/kobin
bare=build/bench/bare_window
for built in "$program" "$bare"; do
  [ -x "$built" ] || { echo "build first: cmake --build build" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
KOBIN_SMOKE=1 "$program" 2>/dev/null # the first start installs the sample book

big="$KOBIN_HOME/big.iis"
bench/big-book.sh "$KOBIN_HOME"

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
time_runs() {
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
  done | median
}

bare_ms=$(time_runs "$bare")
sample_ms=$(KOBIN_SMOKE=1 time_runs "$program")
big_ms=$(KOBIN_SMOKE=1 time_runs "$program" "$big")
echo "median of $runs runs, start to window and closed again:"
echo "  bare Qt Widgets window:        ${bare_ms} ms"
echo "  Kobin, sample book:            ${sample_ms} ms ($(awk "BEGIN { printf \"%.1f\", $sample_ms / $bare_ms }")x the bare window)"
echo "  Kobin, 100,000-item book:      ${big_ms} ms"

"$program" >/dev/null 2>&1 &
pid=$!
sleep 5
echo "  idle memory, sample book:      $(awk '/VmRSS/ { print int($2 / 1024) " MB" }' /proc/$pid/status)"
kill $pid
wait $pid 2>/dev/null || true
