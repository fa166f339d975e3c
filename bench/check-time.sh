#!/usr/bin/env bash
# Times "kobin-cli check" on a book of 100,000 items with a note each, runs
# interleaved: give the companion before a change and after it to compare them.
# Usage: bench/check-time.sh [-n RUNS] KOBIN-CLI [KOBIN-CLI...]   (default: 7 runs of build/src/app/kobin-cli)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/timed-runs.sh"
runs=7
if [ "${1:-}" = "-n" ]; then runs="$2"; shift 2; fi
[ $# -gt 0 ] || set -- "$here/../build/src/app/kobin-cli"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
"$here/big-book.sh" "$work"
arguments=()
for cli in "$@"; do
  "$cli" check "$work/big.iis" >/dev/null 2>&1 || true # reads the notes into the page cache
  arguments+=("$cli" -- "$cli" check "$work/big.iis" ";;")
done
echo "kobin-cli check, 100,000-item book:"
time_interleaved "$runs" "${arguments[@]}"
