#!/usr/bin/env bash
# Times the real kobin-cli rtf2rtf, the whole process from start to exit, on a
# 10 MB note shaped the way the Windows rich-text control writes one, and prints
# the median of the runs in MB/s of the note read; then the time it takes on a
# one-line note, which is what starting the process costs. The processor time
# (user and system) is given too, as it depends less on what else the machine runs.
# Usage: bench/rtf2rtf-time.sh [runs] [build folder]   (a release build gives the real figures)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
build="${2:-build-release}"
cli="$build/src/app/kobin-cli"
generator="$build/bench/richedit_note"
for built in "$cli" "$generator"; do
  [ -x "$built" ] || { echo "build first: ninja -C $build kobin-cli richedit_note" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$generator" 10 > "$work/note.rtf"
printf '{\\rtf1\\ansi\\ansicpg932 x\\par\r\n}\r\n' > "$work/empty.rtf"
"$cli" rtf2rtf "$work/note.rtf" > "$work/out.rtf" || { echo "kobin-cli rtf2rtf failed" >&2; exit 1; }

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# "wall cpu": the medians in milliseconds of the runs on one note.
time_runs() {
  : > "$work/times"
  for _ in $(seq "$runs"); do
    TIMEFORMAT='%R %U %S'
    { time "$cli" rtf2rtf "$1" > "$work/out.rtf" 2>/dev/null; } 2>> "$work/times"
  done
  echo "$(awk '{ print int($1 * 1000) }' "$work/times" | median) $(awk '{ print int(($2 + $3) * 1000) }' "$work/times" | median)"
}

bytes=$(stat -c %s "$work/note.rtf")
read -r note_ms note_cpu < <(time_runs "$work/note.rtf")
read -r empty_ms empty_cpu < <(time_runs "$work/empty.rtf")
rate() { awk "BEGIN { printf \"%.1f\", $bytes / 1048576 / ($1 / 1000) }"; }
echo "kobin-cli rtf2rtf, median of $runs runs:"
echo "  10 MB RichEdit-shaped note: ${note_ms} ms, $(rate "$note_ms") MB/s (processor ${note_cpu} ms, $(rate "$note_cpu") MB/s)"
echo "  one-line note (start-up):   ${empty_ms} ms (processor ${empty_cpu} ms)"
