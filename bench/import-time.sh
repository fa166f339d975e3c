#!/usr/bin/env bash
# Times kobin-cli import of a collection of another program into a new book, and
# its peak memory, for each collection size given, so that memory can be seen to
# stay level as the collection grows. KIND names the maker under bench/sources:
#   scrapbookx  a ScrapBook X collection (default 10,000 items: a folder every 50,
#               the rest small saved pages with a picture and a comment);
#   cherrytree  a CherryTree database (.ctb; default 10,000 nodes: rich text with
#               bold, colour and a link, a table every 20th and a picture every 10th).
# Usage: bench/import-time.sh [build folder] [KIND] [sizes...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
kind="${2:-scrapbookx}"
shift 2 || shift $#
sizes=("${@:-10000}")
cli="$build/src/app/kobin-cli"
[ -x "$cli" ] || { echo "build first: cmake --build $build --target kobin-cli" >&2; exit 1; }
case "$kind" in
  scrapbookx) suffix="" ;;
  cherrytree) suffix=".ctb" ;;
  *) echo "KIND is scrapbookx or cherrytree" >&2; exit 1 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
mkdir -p "$KOBIN_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

for size in "${sizes[@]}"; do
  collection="$work/$kind-$size$suffix"
  python3 "bench/sources/$kind.py" "$collection" "$size"
  sync
  book="$KOBIN_HOME/import-$size.iis"
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/peak" "$cli" import "$collection" "$book" >"$work/report" 2>"$work/err" \
    || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s%N)
  echo "  $kind, $size: $(( (end - start) / 1000000 )) ms, peak memory $(( $(cat "$work/peak") / 1024 )) MB; $(head -1 "$work/report")"
  rm -rf "$collection"
done
