#!/usr/bin/env bash
# Builds the Linux program and runs it on the bundled example case in a fresh
# folder, then shows the report. The three editing steps are skipped: COMSPEC
# names `true`, which ends at once (see the README for a real editor).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

scripts/install-deps.sh example
cmake --preset linux >/dev/null
cmake --build --preset linux --target trovel

work=$(mktemp -d "${TMPDIR:-/tmp}/trovel-example.XXXXXX")
cp examples/Trovel_1p1_dados.txt examples/caso1.txt "$work"
cd "$work"
status=0
COMSPEC=true "$top/build/linux/trovel" || status=$?
echo "trovel ended with status $status in $work"
report=relatorio1.txt
if [ -f "$report" ]; then
  echo "---- $report (code page 1252, shown in UTF-8) ----"
  iconv -f CP1252 -t UTF-8 "$report" | tr -d '\r'
fi
exit "$status"
