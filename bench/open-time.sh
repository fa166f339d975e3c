#!/usr/bin/env bash
# Times programs opening a book of 100,000 items with a note each to their main
# window and closing again (smoke mode, offscreen unless a display is set), runs
# interleaved: give the program before a change and after it to compare them.
# Usage: bench/open-time.sh [-n RUNS] KOBIN [KOBIN...]   (default: 7 runs of build/src/app/kobin)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/timed-runs.sh"
runs=7
if [ "${1:-}" = "-n" ]; then runs="$2"; shift 2; fi
[ $# -gt 0 ] || set -- "$here/../build/src/app/kobin"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" KOBIN_SMOKE=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$here/big-book.sh" "$KOBIN_HOME"
arguments=()
for program in "$@"; do
  "$program" >/dev/null 2>&1 || true # the first start installs the sample book
  "$program" "$KOBIN_HOME/big.iis" >/dev/null 2>&1 || true # and reads the notes into the page cache
  arguments+=("$program" -- "$program" "$KOBIN_HOME/big.iis" ";;")
done
echo "start, open the 100,000-item book to the window, close:"
time_interleaved "$runs" "${arguments[@]}"
