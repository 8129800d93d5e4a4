#!/usr/bin/env bash
# Builds the Linux and the Windows program and runs the whole test suite:
# natively on Linux, again under the sanitizers, a bounded run of each fuzz
# target, and under Wine for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in linux windows sanitize fuzz; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "=== Linux tests ==="
ctest --preset linux

echo "=== Linux tests under AddressSanitizer and UndefinedBehaviorSanitizer ==="
ctest --preset sanitize

echo "=== Fuzz targets: their reproducers, then 60 s each from the seed corpus ==="
ctest --preset fuzz

echo "=== Windows tests (under Wine) ==="
source scripts/wine-env.sh
wine_start
trap wine_stop EXIT
ctest --preset windows
