# Sourced by the timing scripts. time_interleaved times each command given, interleaved run by run
# so that a busy machine weighs on all alike, and prints min and median in ms.
# time_interleaved RUNS LABEL1 -- CMD1... ;; LABEL2 -- CMD2... ;; ...
time_interleaved() {
  local runs="$1"; shift
  local -a labels=() commands=()
  while [ $# -gt 0 ]; do
    local label="$1"; shift 2 # the label and its "--"
    local command=()
    while [ $# -gt 0 ] && [ "$1" != ";;" ]; do command+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    labels+=("$label")
    commands+=("$(printf '%q ' "${command[@]}")")
  done
  local results
  results=$(mktemp)
  for _ in $(seq "$runs"); do
    for i in "${!commands[@]}"; do
      local start end
      start=$(date +%s%N)
      eval "${commands[$i]}" >/dev/null 2>&1 || true
      end=$(date +%s%N)
      echo "$i $(( (end - start) / 1000000 ))" >> "$results"
    done
  done
  for i in "${!labels[@]}"; do
    awk -v i="$i" '$1 == i { print $2 }' "$results" | sort -n | awk -v label="${labels[$i]}" '
      { a[NR] = $1 } END { printf "  %-40s min %6d ms   median %6d ms   (%d runs)\n", label, a[1], a[int((NR + 1) / 2)], NR }'
  done
  rm -f "$results"
}

# Runs one command and prints how long it took in milliseconds.
elapsed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
