#!/usr/bin/env bash
# Times the real kobin-cli rtf2rtf, the whole process from start to exit, on a
# 10 MB note shaped the way the Windows rich-text control writes one, and prints
# the median of the runs in MB/s of the note read; then the time it takes on a
# one-line note, which is what starting the process costs.
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
"$cli" rtf2rtf "$work/note.rtf" > "$work/check.rtf" || { echo "kobin-cli rtf2rtf failed" >&2; exit 1; }

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
time_runs() {
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$cli" rtf2rtf "$1" > "$work/out.rtf"
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
  done | median
}

bytes=$(stat -c %s "$work/note.rtf")
note_ms=$(time_runs "$work/note.rtf")
empty_ms=$(time_runs "$work/empty.rtf")
echo "kobin-cli rtf2rtf, median of $runs runs:"
echo "  10 MB RichEdit-shaped note: ${note_ms} ms, $(awk "BEGIN { printf \"%.1f\", $bytes / 1048576 / ($note_ms / 1000) }") MB/s"
echo "  one-line note (start-up):   ${empty_ms} ms"
