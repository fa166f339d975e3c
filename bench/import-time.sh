#!/usr/bin/env bash
# Times kobin-cli import of a ScrapBook X collection of ITEMS items (default 10,000:
# a folder every 50, the rest small saved pages with a picture and a comment, a note
# now and then) into a new book, and its peak memory, for each collection size given,
# so that memory can be seen to stay level as the collection grows.
# Usage: bench/import-time.sh [build folder] [items...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/timed-runs.sh
build="${1:-build-release}"
shift || true
sizes=("${@:-10000}")
source bench/import-runs.sh

for items in "${sizes[@]}"; do
  source_folder="$work/sbx-$items"
  python3 - "$source_folder" "$items" <<'PY'
import os, struct, sys, zlib
folder, count = sys.argv[1], int(sys.argv[2])
def png():
    raw = b"".join(b"\x00" + b"\x10\x80\xf0" * 16 for _ in range(16))
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 16, 16, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
picture = png()
descriptions, sequences, current, folder_id = [], {"urn:scrapbook:root": []}, "urn:scrapbook:root", 0
for n in range(count):
    item = f"2020{n:010d}"
    urn = "urn:scrapbook:item" + item
    if n % 50 == 0:
        descriptions.append(f'<RDF:Description RDF:about="{urn}" NS1:id="{item}" NS1:type="folder" NS1:title="フォルダ {n}"/>')
        sequences["urn:scrapbook:root"].append(urn)
        sequences[urn] = []
        current = urn
        continue
    kind = "notex" if n % 10 == 0 else ""
    descriptions.append(f'<RDF:Description RDF:about="{urn}" NS1:id="{item}" NS1:type="{kind}" NS1:title="ページ {n} の題" '
                        f'NS1:source="http://example.jp/{n}" NS1:comment="コメント {n} __BR__ 二行目"/>')
    sequences[current].append(urn)
    data = os.path.join(folder, "data", item)
    os.makedirs(data)
    with open(os.path.join(data, "index.html"), "w", encoding="utf-8") as page:
        page.write(f'<html><head><meta charset="utf-8"><title>{n}</title></head><body><h1>ページ {n}</h1>'
                   + f"<p>保存したページの本文です。{n}</p>" * 20 + '<img src="a.png"></body></html>')
    with open(os.path.join(data, "a.png"), "wb") as image:
        image.write(picture)
with open(os.path.join(folder, "scrapbook.rdf"), "w", encoding="utf-8") as rdf:
    rdf.write('<?xml version="1.0"?>\n<RDF:RDF xmlns:NS1="http://amb.vis.ne.jp/mozilla/scrapbook-rdf#" '
              'xmlns:RDF="http://www.w3.org/1999/02/22-rdf-syntax-ns#">\n')
    for about, members in sequences.items():
        rdf.write(f'<RDF:Seq RDF:about="{about}">' + "".join(f'<RDF:li RDF:resource="{m}"/>' for m in members) + "</RDF:Seq>\n")
    rdf.write("\n".join(descriptions) + "\n</RDF:RDF>\n")
PY
  import_timed "$source_folder" "$items items"
  rm -rf "$source_folder"
done
