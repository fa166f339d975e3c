#!/usr/bin/env bash
# Times the whole `kobin-cli search` process on the book of 10,000 items that
# bench_search searches (written by search_book), with the worst query (words
# each in most items but rarely together), against rg looking for the same words
# over the same text (every caption, note and page as search reads it, one file
# each). Each kobin-cli given keeps its own index, built before the timed runs;
# the runs are interleaved, and min and median of each are told.
# Usage: bench/search-time.sh [-n runs] [-b search_book] KOBIN_CLI...
#   e.g. bench/search-time.sh /work/before/kobin-cli build-release/src/app/kobin-cli
# rg (ripgrep) is only for this comparison: apt-get install ripgrep.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/timed-runs.sh
runs=5
generator=build-release/bench/search_book
while getopts n:b: option; do
  case $option in
    n) runs=$OPTARG ;;
    b) generator=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n 's/^# Usage: //p' "$0" >&2; exit 2; }
[ -x "$generator" ] || { echo "build search_book first (or give it with -b)" >&2; exit 1; }
command -v rg >/dev/null || echo "rg (ripgrep) is missing: only kobin-cli is timed (apt-get install ripgrep)" >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen KOBIN_HOME="$work/book" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$KOBIN_HOME"
"$generator" "$KOBIN_HOME"
words=(ダイアリー 表計算本ｶﾞ software犬)

cli() { XDG_CACHE_HOME="$work/cache$1" "${@:2}" search "$KOBIN_HOME/work.iis" "${words[@]}"; }
grep_text() { rg -F -i -e "${words[0]}" -e "${words[1]}" -e "${words[2]}" "$KOBIN_HOME/text"; }

names=()
for i in $(seq $#); do
  program=${!i}
  names+=("$program")
  echo "first index, $program: $(elapsed cli "$i" "$program") ms"
  echo "  results: $(cli "$i" "$program" 2>/dev/null | tee "$work/results$i" | wc -l) lines"
  cmp -s "$work/results1" "$work/results$i" || echo "  the results differ from those of $1" >&2
done
command -v rg >/dev/null && names+=(rg)
for _ in $(seq "$runs"); do
  for i in $(seq $#); do
    elapsed cli "$i" "${!i}" >>"$work/times$i"
  done
  if command -v rg >/dev/null; then elapsed grep_text >>"$work/times$(($# + 1))"; fi
done
echo "whole process, $runs runs (min / median, ms):"
for i in $(seq ${#names[@]}); do
  sort -n "$work/times$i" | awk -v name="${names[$((i - 1))]}" \
    '{ a[NR] = $1 } END { printf "  %-50s %6d / %6d\n", name, a[1], a[int((NR + 1) / 2)] }'
done
