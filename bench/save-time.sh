#!/usr/bin/env bash
# Times saving a book of 100,000 items after one note changed (bench_book's
# SaveAfterOneNoteChanged, the mean of its iterations per run), runs interleaved:
# give bench_book before a change and after it to compare them. Prints min and
# median of the runs, wall time and the process's CPU time (a busy machine
# stretches the first). Set TMPDIR to time another disk (/dev/shm: no disk).
# Usage: bench/save-time.sh [-n RUNS] BENCH_BOOK [BENCH_BOOK...]   (default: 5 runs of build/bench/bench_book)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
runs=5
if [ "${1:-}" = "-n" ]; then runs="$2"; shift 2; fi
[ $# -gt 0 ] || set -- "$here/../build/bench/bench_book"

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$runs"); do
  for i in $(seq 0 $(($# - 1))); do
    program="${@:$((i + 1)):1}"
    # name,iterations,real_time,cpu_time,time_unit,...
    "$program" --benchmark_filter='^SaveAfterOneNoteChanged' --benchmark_format=csv 2>/dev/null \
      | awk -F, -v i="$i" '/SaveAfterOneNoteChanged/ { print i, $3, $4 }' >> "$results"
  done
done
echo "save after one note changed, 100,000 items (ms per save):"
for i in $(seq 0 $(($# - 1))); do
  label="${@:$((i + 1)):1}"
  for column in 2 3; do
    awk -v i="$i" -v c="$column" '$1 == i { print $c }' "$results" | sort -g
  done | awk -v label="$label" -v n="$runs" '
    { a[NR] = $1 }
    END { printf "  %-40s wall min %6.1f median %6.1f   cpu min %6.1f median %6.1f   (%d runs)\n",
          label, a[1], a[int((n + 1) / 2)], a[n + 1], a[n + int((n + 1) / 2)], n }'
done
