#!/usr/bin/env bash
# Times kobin-cli capture of a 2 MB page with 50 resources (pictures, styles and
# scripts) from a web server on the loopback interface, into a scratch book: the
# median of several runs, from the command's start to the book written.
# Usage: bench/capture-time.sh [build folder] [runs]   (a release build gives the real figure)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-release}"
runs="${2:-5}"
cli="$build/src/app/kobin-cli"
[ -x "$cli" ] || { echo "build first: cmake --build $build --target kobin-cli" >&2; exit 1; }

work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$KOBIN_HOME" "$XDG_RUNTIME_DIR" "$work/site" && chmod 700 "$XDG_RUNTIME_DIR"

# The page: about 2 MB of text in paragraphs, with 20 pictures, 15 stylesheets and 15 scripts.
python3 - "$work/site" <<'PY'
import os, struct, sys, zlib
site = sys.argv[1]
def png(seed):
    raw = b"".join(b"\x00" + bytes((seed * 7 + x) % 256 for x in range(64 * 3)) for _ in range(64))
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 64, 64, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
head, body = [], []
for i in range(15):
    open(os.path.join(site, f"style{i}.css"), "w").write(f".c{i} {{ color: #{i:02x}3366; margin: {i}px; }}\n" * 50)
    head.append(f'<link rel="stylesheet" href="style{i}.css">')
    open(os.path.join(site, f"script{i}.js"), "w").write(f"var v{i} = {i};\n" * 50)
    head.append(f'<script src="script{i}.js"></script>')
for i in range(20):
    open(os.path.join(site, f"picture{i}.png"), "wb").write(png(i))
    body.append(f'<img src="picture{i}.png">')
paragraph = "<p>" + "The quick brown fox jumps over the lazy dog. " * 20 + "</p>\n"
body.extend([paragraph] * (2 * 1024 * 1024 // len(paragraph)))
open(os.path.join(site, "index.html"), "w").write(
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Benchmark page</title>"
    + "".join(head) + "</head><body>" + "".join(body) + "</body></html>")
PY

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$work/site" && exec python3 -m http.server "$port" --bind 127.0.0.1 >/dev/null 2>&1) &
server_pid=$!
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done

printf '|0\\bench=a1+root|\r\n' > "$KOBIN_HOME/bench.iis"
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s.%N)
  "$cli" capture "$KOBIN_HOME/bench.iis" "http://127.0.0.1:$port/index.html" >/dev/null 2>"$work/err" \
    || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s.%N)
  times+=("$(echo "$end - $start" | bc)")
done
saved=$(find "$KOBIN_HOME/bench/pages" -mindepth 1 -maxdepth 1 -type d | head -1)
echo "page: $(du -sh "$work/site" | cut -f1) in $(find "$work/site" -type f | wc -l) files; saved: $(find "$saved" -type f | wc -l) files"
printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { printf "kobin-cli capture, median of %d runs: %.2f s\n", NR, a[int((NR + 1) / 2)] }'
