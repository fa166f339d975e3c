#!/usr/bin/env bash
# Times `kobin-cli search` on the book of 100,000 items with a note each
# (big-book.sh): the first index (an empty cache, a fresh one each run) and a
# later search on the index it made, both the whole process. Runs are
# interleaved, each kobin-cli given in turn, and min and median of each are told.
# Usage: bench/index-time.sh [-n RUNS] KOBIN-CLI [KOBIN-CLI...]   (default: 5 runs of build-release/src/app/kobin-cli)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/timed-runs.sh"
runs=5
if [ "${1:-}" = "-n" ]; then runs="$2"; shift 2; fi
[ $# -gt 0 ] || set -- "$here/../build-release/src/app/kobin-cli"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen KOBIN_HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
"$here/big-book.sh" "$work"
query=(item 5000) # in the captions of a few items: what is timed is the index, not the printing

search() { XDG_CACHE_HOME="$1" "$2" search "$work/big.iis" "${query[@]}"; }

find "$work/big" -name "*.rtf" -exec cat {} + >/dev/null # the notes in the page cache, for every program alike
for run in $(seq "$runs"); do
  for i in $(seq $#); do
    cli=${!i}
    cache="$work/cache-$i-$run"
    elapsed search "$cache" "$cli" >>"$work/first$i"
    elapsed search "$cache" "$cli" >>"$work/later$i"
    if [ "$run" = 1 ]; then
      search "$cache" "$cli" >"$work/results$i" 2>/dev/null || true
      cmp -s "$work/results1" "$work/results$i" || echo "  the results of $cli differ from those of $1" >&2
    fi
    rm -rf "$cache"
  done
done
echo "kobin-cli search, 100,000-item book, $runs runs (min / median, ms):"
for i in $(seq $#); do
  for measure in first later; do
    sort -n "$work/$measure$i" | awk -v name="${!i}" -v measure="$measure" '
      { a[NR] = $1 }
      END { printf "  %-50s %-6s %7d / %7d\n", name, measure == "first" ? "first" : "later", a[1], a[int((NR + 1) / 2)] }'
  done
done
