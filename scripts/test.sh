#!/usr/bin/env bash
# Builds the Linux and the Windows program and runs the whole test suite:
# natively on Linux, again under the sanitizers, and under Wine for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in linux windows sanitize; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "=== Linux tests ==="
ctest --preset linux

echo "=== Linux tests under AddressSanitizer and UndefinedBehaviorSanitizer ==="
ctest --preset sanitize

echo "=== Windows tests (under Wine) ==="
source scripts/wine-env.sh
wine_start
trap wine_stop EXIT
ctest --preset windows
