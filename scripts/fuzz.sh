#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) into build-fuzz/ and
#   scripts/fuzz.sh [SECONDS]   fuzzes each target for SECONDS (default 600),
#                               two at a time, growing build-fuzz/corpus/
#   scripts/fuzz.sh --replay    runs every seed input once (what CI does)
# Seeds: fuzz/corpus/<target>/ plus the configurations, images and language
# files the tests and the program already carry. A crash is saved as
# build-fuzz/findings/<target>/crash-*; make each one a case of the ordinary
# tests before fixing it.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-600}
scripts/deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTRENOV5X_FUZZ=ON -DTRENOV5X_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

targets=(configuration language settings image_build image_reader replies)

# The seed files of a target, one per line.
# Folders that do not exist add nothing (and must not end the script).
seeds() {
  find "fuzz/corpus/$1" -type f 2>/dev/null || true
  case $1 in
    configuration | image_build) find tests/data/config tests/data/image -name '*.xml' 2>/dev/null || true ;;
    language) find Language -name '*.xml' 2>/dev/null || true ;;
    image_reader) find tests/data/image -name '*.bin' 2>/dev/null || true ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
if [ "$mode" = "--replay" ]; then
  for t in "${targets[@]}"; do
    mapfile -t files < <(seeds "$t")
    echo "replay fuzz_$t: ${#files[@]} inputs"
    build-fuzz/fuzz-bin/fuzz_"$t" -runs=1 "${files[@]}" 2>build-fuzz/replay_"$t".log ||
      { cat build-fuzz/replay_"$t".log; exit 1; }
  done
  exit 0
fi

run() {
  local t=$1 corpus=build-fuzz/corpus/$1 findings=build-fuzz/findings/$1
  mkdir -p "$corpus" "$findings"
  seeds "$t" | xargs -r cp -t "$corpus"
  build-fuzz/fuzz-bin/fuzz_"$t" "$corpus" -max_total_time="$mode" -max_len=200000 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 >build-fuzz/fuzz_"$t".log 2>&1 || true
  echo "fuzz_$t: $(grep -E '^stat::number_of_executed_units' build-fuzz/fuzz_"$t".log | awk '{print $2}') runs," \
    "$(find "$findings" -type f | wc -l) findings, log build-fuzz/fuzz_$t.log"
}
# Two at a time: the machine has two cores.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" &
  [ -n "${targets[i + 1]:-}" ] && run "${targets[i + 1]}" &
  wait
done
! find build-fuzz/findings -type f | grep -q .
