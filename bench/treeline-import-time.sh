#!/usr/bin/env bash
# Times kobin-cli import of a TreeLine document (.trln) of NODES nodes (default 10,000: a
# node with children every 50, the rest notes with an HTML field of bold, a list and a web
# link, a table every 20th, and a node under two parents every 100th), plain and gzip
# compressed, and of a chain of 20,000 levels, into new books, with their peak memory.
# Usage: bench/treeline-import-time.sh [build folder] [nodes...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
shift || true
sizes=("${@:-10000}")
source bench/import-runs.sh

for nodes in "${sizes[@]}" chain; do
  document="$work/outline-$nodes.trln"
  python3 - "$document" "$nodes" <<'PY'
import json, sys
path, count = sys.argv[1], sys.argv[2]
folder = {"formatname": "FOLDER", "fields": [{"fieldname": "Name", "fieldtype": "Text"}],
          "titleline": "{*Name*}", "outputlines": ["{*Name*}"]}
note = {"formatname": "NOTE", "formathtml": True,
        "fields": [{"fieldname": "Title", "fieldtype": "OneLineText"}, {"fieldname": "Text", "fieldtype": "HtmlText"},
                   {"fieldname": "Link", "fieldtype": "ExternalLink"}],
        "titleline": "{*Title*}", "outputlines": ["<b>{*Title*}</b>", "{*Text*}", "{*Link*}"]}
nodes, top = [], []
if count == "chain":
    nodes = [{"uid": str(n), "format": "FOLDER", "data": {"Name": "段"}, "children": [str(n + 1)] if n < 20000 else []}
             for n in range(20001)]
    top = ["0"]
else:
    parent = None
    for n in range(1, int(count) + 1):
        uid = f"n{n}"
        if n % 50 == 1:
            nodes.append({"uid": uid, "format": "FOLDER", "data": {"Name": f"フォルダ {n}"}, "children": []})
            top.append(uid)
            parent = nodes[-1]
            continue
        table = "<table>" + "".join(f"<tr><td>行 {r}</td><td>{r * n}</td></tr>" for r in range(5)) + "</table>" if n % 20 == 0 else ""
        text = "".join(f"<p>段落 {i} の本文です。<b>太字</b>と<i>斜体</i>。</p>" for i in range(10))
        nodes.append({"uid": uid, "format": "NOTE", "children": [], "data": {
            "Title": f"ノード {n} の題", "Text": text + "<ul><li>一</li><li>二</li></ul>" + table,
            "Link": f'<a href="https://example.jp/{n}">example.jp/{n}</a>'}})
        parent["children"].append(uid)
        if n % 100 == 0:
            nodes[0]["children"].append(uid)
with open(path, "w") as out:
    json.dump({"formats": [folder, note], "nodes": nodes, "properties": {"topnodes": top}}, out, ensure_ascii=False)
PY
  import_timed "$document" "$([ "$nodes" = chain ] && echo "20,000 levels" || echo "$nodes nodes")"
  if [ "$nodes" != chain ]; then
    gzip -c "$document" > "$work/outline-$nodes-gzip.trln"
    import_timed "$work/outline-$nodes-gzip.trln" "$nodes nodes, gzip"
  fi
done
