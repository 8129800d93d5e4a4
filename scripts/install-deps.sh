#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine. Runs
# apt-get only when something is missing; uses sudo when not root.
# Usage: install-deps.sh [example|all]
set -euo pipefail

# "example" needs only the Linux build; everything else needs the whole set.
packages=(cmake make g++ libgtest-dev googletest)
if [ "${1:-all}" != example ]; then
  packages+=(clang libclang-rt-14-dev clang-format g++-mingw-w64-x86-64-posix wine64
             xvfb xdotool imagemagick libbenchmark-dev unzip)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
