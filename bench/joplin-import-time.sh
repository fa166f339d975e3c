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
source bench/import-runs.sh

for notes in "${sizes[@]}"; do
  folder="$work/raw-$notes"
  python3 - "$folder" "$notes" <<'PY'
import os, sys
sys.path.insert(0, "bench/sources")
from picture import png
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder + "/resources")
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
  import_timed "$folder" "$notes notes, RAW folder"
  import_timed "$work/export-$notes.jex" "$notes notes, .jex"
done
