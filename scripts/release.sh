#!/usr/bin/env bash
# Builds the Windows release: build/windows/trovel-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target trovel
(cd build/windows && cpack -G ZIP)
ls -l build/windows/trovel-*-win64.zip
