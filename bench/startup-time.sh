#!/usr/bin/env bash
# Times programs from start to their main window and back, in the smoke mode
# (start as usual, show the window, close at once), with the sample book, against
# a bare Qt Widgets window, all in one run with the runs interleaved: give the
# program before a change and after it to compare them. Then the memory each
# holds idle with the sample book (RSS, 5 s after it starts), min and median.
# Usage: bench/startup-time.sh [-n RUNS] [-b BARE_WINDOW] KOBIN [KOBIN...]
#   (default: 10 runs of build/src/app/kobin against build/bench/bare_window;
#   needs a display, or runs offscreen)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/timed-runs.sh
runs=10
bare=build/bench/bare_window
while getopts n:b: option; do
  case $option in
    n) runs=$OPTARG ;;
    b) bare=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || set -- build/src/app/kobin
for built in "$@" "$bare"; do
  [ -x "$built" ] || { echo "build first: $built" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
KOBIN_SMOKE=1 "$1" 2>/dev/null # the first start installs the sample book

arguments=(bare -- "$bare")
for program in "$@"; do arguments+=(";;" "$program" -- env KOBIN_SMOKE=1 "$program"); done
echo "start to window and closed again, sample book:"
time_interleaved "$runs" "${arguments[@]}"

echo "idle memory with the sample book (RSS):"
for program in "$@"; do
  for _ in $(seq 5); do
    "$program" >/dev/null 2>&1 &
    pid=$!
    sleep 5
    awk '/VmRSS/ { print int($2 / 1024) }' /proc/$pid/status
    kill $pid
    wait $pid 2>/dev/null || true
  done | sort -n | awk -v label="$program" '{ a[NR] = $1 } END { printf "  %-40s min %4d MB   median %4d MB\n", label, a[1], a[int((NR + 1) / 2)] }'
done
