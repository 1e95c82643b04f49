#!/usr/bin/env bash
# Builds the program and saves screenshots of the real window, taken under a
# virtual X display, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/trenov5x-screenshots docs/screenshots
# A 1280 x 800 screen at 150 %: 853 x 533 logical pixels, smaller than the window.
QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1280x800x24" build/bin/trenov5x-screenshots docs/screenshots --scaled
# The comparison list and a table file imported with refused rows marked.
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/trenov5x-screenshots docs/screenshots --compare
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/trenov5x-screenshots docs/screenshots --history
