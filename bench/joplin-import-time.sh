#!/usr/bin/env bash
# Times kobin-cli import of a Joplin export of NOTES notes (default 5,000: 200 notebooks ten to a
# parent, each note's Markdown five paragraphs with bold, a web link, a list and a checkbox, a
# picture every 10th) as a RAW folder and as a .jex into new books, and their peak memory.
# Usage: bench/joplin-import-time.sh [build folder] [notes...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
shift || true
sizes=("${@:-5000}")
cli="$build/src/app/kobin-cli"
[ -x "$cli" ] || { echo "build first: cmake --build $build --target kobin-cli" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
mkdir -p "$KOBIN_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

run() {
  local source=$1 book=$2 label=$3
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/peak" "$cli" import "$source" "$book" >"$work/report" 2>"$work/err" \
    || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s%N)
  echo "  $label: $(( (end - start) / 1000000 )) ms, peak memory $(( $(cat "$work/peak") / 1024 )) MB; $(head -1 "$work/report")"
}

for notes in "${sizes[@]}"; do
  folder="$work/raw-$notes"
  python3 - "$folder" "$notes" <<'PY'
import os, struct, sys, zlib
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder + "/resources")
def png():
    raw = b"".join(b"\x00" + b"\x10\x80\xf0" * 16 for _ in range(16))
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 16, 16, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
def write(number, type_, title, body="", properties=""):
    item = f"{number:032x}"
    text = title + "\n\n" + (body + "\n\n" if body else "") + f"id: {item}\n{properties}" \
        + f"created_time: 2021-08-07T17:03:33.718Z\nupdated_time: 2021-08-08T09:00:00.000Z\nencryption_applied: 0\ntype_: {type_}"
    with open(f"{folder}/{item}.md", "w", encoding="utf-8") as file:
        file.write(text)
    return item
notebooks = [write(1 + n, 2, f"ノートブック {n}", properties=f"parent_id: {(n // 10):032x}\n" if n >= 10 else "parent_id: \n")
             for n in range(200)]
picture = png()
for n in range(count):
    body = "".join(f"段落 {i} の本文です。**太字**と[リンク](https://example.jp/{n})。\n\n- 項目\n- [ ] やること\n\n" for i in range(5))
    if n % 10 == 0:
        resource = write(10_000_000 + n, 4, "絵.png", properties="mime: image/png\nfile_extension: png\n")
        with open(f"{folder}/resources/{resource}.png", "wb") as file:
            file.write(picture)
        body += f"![絵](:/{resource})"
    write(1_000_000 + n, 1, f"ノート {n}", f"# 見出し {n}\n\n" + body, f"parent_id: {notebooks[n % 200]}\nmarkup_language: 1\n")
PY
  tar -cf "$work/export-$notes.jex" -C "$folder" .
  sync
  run "$folder" "$KOBIN_HOME/raw-$notes.iis" "$notes notes, RAW folder"
  run "$work/export-$notes.jex" "$KOBIN_HOME/jex-$notes.iis" "$notes notes, .jex"
done
