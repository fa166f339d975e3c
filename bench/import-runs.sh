# Sourced by the import timing scripts, with the build folder in $build: a private
# program folder and settings in $work (removed on exit), and import_timed.
cli="$build/src/app/kobin-cli"
[ -x "$cli" ] || { echo "build first: cmake --build $build --target kobin-cli" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KOBIN_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
mkdir -p "$KOBIN_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# import_timed SOURCE LABEL: imports SOURCE into a new book, printing the time taken,
# the peak memory and the report's first line.
import_timed() {
  sync
  local book="$KOBIN_HOME/import-${2// /-}.iis" start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/peak" "$cli" import "$1" "$book" >"$work/report" 2>"$work/err" \
    || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s%N)
  echo "  $2: $(( (end - start) / 1000000 )) ms, peak memory $(( $(cat "$work/peak") / 1024 )) MB; $(head -1 "$work/report")"
}
