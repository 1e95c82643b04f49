#!/usr/bin/env bash
# Times trenov5x-cli build and check beside xmllint --noout on the two shapes
# of a near-capacity configuration, interleaved in one run, and gives the
# median of each, its ratio to xmllint and the peak memory of one run.
#   scripts/bench_cli.sh [RUNS] [OTHER_CLI]
# RUNS defaults to 15; OTHER_CLI (an earlier build of trenov5x-cli) is timed
# in the same rounds, for a before/after comparison. Needs build/ with the
# benchmarks (bench_image writes the files), xmllint and /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
other=${2:-}
cli=build/bin/trenov5x-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench-bin/bench_image --write-shapes "$work"

ms() { # prints the milliseconds one command takes
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -n | awk '{a[NR] = $1} END {m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2; printf "%.1f", m / 1000}'; }
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n1 | awk '{printf "%.1f", $1 / 1024}'; }

for shape in long short; do
  dir=$work/$shape
  file=$dir/Configuration.xml
  declare -A times=()
  jobs=(xmllint build check)
  [ -n "$other" ] && jobs+=(other-build other-check)
  for ((i = 0; i < runs; i++)); do
    times[xmllint]+="$(ms xmllint --noout "$file") "
    times[build]+="$(ms "$cli" build "$dir") "
    times[check]+="$(ms "$cli" check "$dir") "
    if [ -n "$other" ]; then
      times[other-build]+="$(ms "$other" build "$dir") "
      times[other-check]+="$(ms "$other" check "$dir") "
    fi
  done
  base=$(echo "${times[xmllint]}" | tr ' ' '\n' | grep . | median)
  echo "$shape rows: $(stat -c %s "$file") bytes, median of $runs runs"
  for job in "${jobs[@]}"; do
    m=$(echo "${times[$job]}" | tr ' ' '\n' | grep . | median)
    printf '  %-12s %7s ms  %5s x xmllint\n' "$job" "$m" "$(awk -v a="$m" -v b="$base" 'BEGIN {printf "%.2f", a / b}')"
  done
  px=$(peak xmllint --noout "$file")
  pb=$(peak "$cli" build "$dir")
  pc=$(peak "$cli" check "$dir")
  echo "  peak memory: xmllint $px MiB, build $pb MiB ($(awk -v a="$pb" -v b="$px" 'BEGIN {printf "%.2f", a / b}') x), check $pc MiB"
  if [ -n "$other" ]; then
    po=$(peak "$other" build "$dir")
    echo "  peak memory of the other build: $po MiB"
  fi
  unset times
done
