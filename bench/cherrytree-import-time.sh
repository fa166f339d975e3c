#!/usr/bin/env bash
# Times kobin-cli import of a CherryTree database (.ctb) of NODES nodes (default 10,000:
# a node with children every 50, the rest rich text with bold, colour and a web link,
# a table every 20th and a picture every 10th) into a new book, and its peak memory.
# Usage: bench/cherrytree-import-time.sh [build folder] [nodes...]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
shift || true
sizes=("${@:-10000}")
source bench/import-runs.sh

for nodes in "${sizes[@]}"; do
  document="$work/notes-$nodes.ctb"
  python3 - "$document" "$nodes" <<'PY'
import sqlite3, struct, sys, zlib
path, count = sys.argv[1], int(sys.argv[2])
def png():
    raw = b"".join(b"\x00" + b"\x10\x80\xf0" * 16 for _ in range(16))
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 16, 16, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
picture = png()
db = sqlite3.connect(path)
db.executescript("""
CREATE TABLE node (node_id INTEGER UNIQUE,name TEXT,txt TEXT,syntax TEXT,tags TEXT,is_ro INTEGER,is_richtxt INTEGER,has_codebox INTEGER,has_table INTEGER,has_image INTEGER,level INTEGER,ts_creation INTEGER,ts_lastsave INTEGER);
CREATE TABLE codebox (node_id INTEGER,offset INTEGER,justification TEXT,txt TEXT,syntax TEXT,width INTEGER,height INTEGER,is_width_pix INTEGER,do_highl_bra INTEGER,do_show_linenum INTEGER);
CREATE TABLE grid (node_id INTEGER,offset INTEGER,justification TEXT,txt TEXT,col_min INTEGER,col_max INTEGER);
CREATE TABLE image (node_id INTEGER,offset INTEGER,justification TEXT,anchor TEXT,png BLOB,filename TEXT,link TEXT,time INTEGER);
CREATE TABLE children (node_id INTEGER UNIQUE,father_id INTEGER,sequence INTEGER, master_id INTEGER);
CREATE TABLE bookmark (node_id INTEGER UNIQUE,sequence INTEGER);
""")
parent = 0
for n in range(1, count + 1):
    body = "".join(f'<rich_text>段落 {i} の本文です。ノード {n}。\n</rich_text><rich_text weight="heavy" foreground="#ffff00000000">太字</rich_text>'
                   f'<rich_text link="webs https://example.jp/{n}">リンク</rich_text><rich_text>\n</rich_text>' for i in range(10))
    text = f'<?xml version="1.0" encoding="UTF-8"?><node>{body}</node>'
    table, image = n % 20 == 0, n % 10 == 0
    db.execute("INSERT INTO node VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)",
               (n, f"ノード {n} の題", text, "custom-colors", "", 0, 1, 0, int(table), int(image), 0, 1600000000, 0))
    if table:
        db.execute("INSERT INTO grid VALUES(?,?,?,?,?,?)", (n, 5, "left",
                   '<table>' + "".join(f"<row><cell>行 {r}</cell><cell>{r * n}</cell></row>" for r in range(5)) + '</table>', 40, 400))
    if image:
        db.execute("INSERT INTO image VALUES(?,?,?,?,?,?,?,?)", (n, 3, "left", "", picture, "", "", 0))
    if n % 50 == 1:
        db.execute("INSERT INTO children VALUES(?,?,?,?)", (n, 0, n, 0))
        parent = n
    else:
        db.execute("INSERT INTO children VALUES(?,?,?,?)", (n, parent, n, 0))
db.commit()
PY
  import_timed "$document" "$nodes nodes"
done
