#!/usr/bin/env bash
# Times kobin-cli import of a collection of another program into a new book, and
# its peak memory, for each collection size given, so that memory can be seen to
# stay level as the collection grows. KIND names the maker under bench/sources:
#   scrapbookx  a ScrapBook X collection (default 10,000 items: a folder every 50,
#               the rest small saved pages with a picture and a comment);
#   cherrytree  a CherryTree database (.ctb; default 10,000 nodes: rich text with
#               bold, colour and a link, a table every 20th and a picture every 10th).
# TreeLine and Joplin have scripts of their own, as they time more than one form.
# Usage: bench/import-time.sh [build folder] [KIND] [sizes...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
kind="${2:-scrapbookx}"
shift 2 || shift $#
sizes=("${@:-10000}")
case "$kind" in
  scrapbookx) suffix="" ;;
  cherrytree) suffix=".ctb" ;;
  *) echo "KIND is scrapbookx or cherrytree" >&2; exit 1 ;;
esac
source bench/import-runs.sh

for size in "${sizes[@]}"; do
  collection="$work/$kind-$size$suffix"
  python3 "bench/sources/$kind.py" "$collection" "$size"
  import_timed "$collection" "$kind, $size"
  rm -rf "$collection"
done
