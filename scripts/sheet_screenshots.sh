#!/usr/bin/env bash
# Writes the configuration sheet of the sample configuration in English and
# German (A4) and saves its first two pages as pictures in docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/trenov5x-cli
sample=tests/data/report/Plant_North
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for lang in eng ger; do
  "$cli" report "$sample" --language "$lang" --paper a4 --pdf "$out/$lang.pdf" >/dev/null
  pdftoppm -r 70 -f 1 -l 2 -png "$out/$lang.pdf" "$out/$lang"
  for page in 1 2; do
    cp "$(ls "$out/$lang"-*"$page".png | head -n 1)" "docs/screenshots/${lang}_sheet_${page}.png"
  done
done
