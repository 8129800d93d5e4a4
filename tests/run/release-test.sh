#!/usr/bin/env bash
# The Windows release zip: made from this build, unpacked, checked for its
# files, and its example run under Wine with its real command interpreter (no
# DISPLAY, so each Notepad ends at once) to the expected report.
# Usage: release-test.sh <build folder> <source folder>
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")

work=$(mktemp -d "${TMPDIR:-/tmp}/trovel-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
zip=$(ls "$work"/package/trovel-*-win64.zip)
echo "made $(basename "$zip")"
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip")
top=$(ls -d "$work"/unpacked/trovel-*-win64)

fail() { echo "FAILED: $*"; exit 1; }
for file in trovel.exe guia-do-usuario.txt user-guide.txt geometry.png field-sheet.pdf \
            exemplo/Trovel_1p1_dados.txt exemplo/caso1.txt; do
  [ -f "$top/$file" ] || fail "$file missing from the zip"
done
for file in Trovel_1p1_dados.txt caso1.txt; do
  cmp -s "$top/exemplo/$file" "$source/examples/$file" || fail "exemplo/$file differs"
  # Notepad shows the files right only with CR LF line ends.
  ! grep -q $'[^\r]$' "$top/exemplo/$file" || fail "exemplo/$file has a line without CR LF"
done
! grep -q $'[^\r]$' "$top/guia-do-usuario.txt" || fail "the guide has a line without CR LF"
# Statically linked: no DLL beyond those of Windows itself.
dlls=$(x86_64-w64-mingw32-objdump -p "$top/trovel.exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z')
for dll in $dlls; do
  case "$dll" in
    kernel32.dll | msvcrt.dll | api-ms-win-*) ;;
    *) fail "trovel.exe needs $dll" ;;
  esac
done

cd "$top/exemplo"
status=0
env -u DISPLAY /usr/lib/wine/wine64 ../trovel.exe </dev/null >stdout.txt 2>stderr.txt || status=$?
[ "$status" -eq 0 ] || { cat stderr.txt; fail "exit status $status"; }
[ ! -s stdout.txt ] && [ ! -s stderr.txt ] || fail "the run wrote to the console"
cmp relatorio1.txt "$source/tests/run/data/relatorio1.txt" || fail "the report differs"
echo "zip holds the program, guides and example; the example gives the expected report"
