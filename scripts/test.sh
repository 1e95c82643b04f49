#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  ASan + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-asan scripts/build.sh -DSANITIZE=ON -DTRENOV5X_BENCHMARKS=OFF
  cd build-asan
else
  scripts/build.sh
  cd build
fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
