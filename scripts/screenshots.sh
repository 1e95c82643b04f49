#!/usr/bin/env bash
# Builds the program and saves screenshots of the real window, taken under a
# virtual X display, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/trenov5x-screenshots docs/screenshots
